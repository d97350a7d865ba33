#include "id3v2/ScratchFiles.h"
