#include "audio/Mp3Files.h"
