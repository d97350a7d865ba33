#include "audio/ID3v1Tag.h"
