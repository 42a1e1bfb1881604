// The five possessable items: size, boxes, jump, item life and damage of each kind.
#pragma once

// The sprite size and boxes of the current ItemKind, applied after the frame's movement.
void ApplyItemGeometry();
