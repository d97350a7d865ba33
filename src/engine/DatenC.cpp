#include "engine/DatenC.h"
