// The story scenes and the tutorial: what each story step does every frame.
#pragma once

#include <cstdint>

extern int32_t StoryStep;
// Screen x of the car of the prologue; -560 keeps it off screen.
extern int32_t CarX;

// The story's per-frame actions while StagePhase is 1, chosen by StoryStep.
void StoryActionStep();
