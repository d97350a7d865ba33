#include "audio/ApeTag.h"
