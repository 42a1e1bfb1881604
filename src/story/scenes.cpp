#include "story/scenes.h"

int32_t StoryStep = 0;
int32_t CarX = -560;

// The story scenes arrive with the story issue.
void StoryActionStep() {}
