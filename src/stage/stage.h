// The stage frame: clock, camera, death test, item call, arena wipe, function keys.
#pragma once

#include <cstdint>

// 1 once the end of the field has been reached, and in the boss area.
extern int32_t ScrollLocked;

// One frame of the action stage (or, while StagePhase is 1, the story step over it).
void UpdateStageFrame();
