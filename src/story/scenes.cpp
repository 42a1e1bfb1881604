#include "story/scenes.h"

int32_t StoryStep = 0;
