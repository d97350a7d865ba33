#include "id3v2/ID3v2Tags.h"
