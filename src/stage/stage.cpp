#include "stage/stage.h"

int32_t ScrollLocked = 0;

// The stage frame arrives with the stage issue; until then a stage stands still.
void UpdateStageFrame() {}
