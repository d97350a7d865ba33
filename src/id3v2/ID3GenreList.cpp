#include "id3v2/ID3GenreList.h"
