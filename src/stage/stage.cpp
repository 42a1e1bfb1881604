#include "stage/stage.h"

int32_t ScrollLocked = 0;
