#include "audio/MpegFrames.h"
