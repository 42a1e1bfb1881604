#include "render/stage_draw.h"

// The stage drawing arrives with the stage issue; until then the last picture stays.
void DrawStageFrame() {}
