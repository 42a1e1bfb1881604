// The story scenes and the tutorial: what each story step does every frame.
#pragma once

#include <cstdint>

extern int32_t StoryStep;
