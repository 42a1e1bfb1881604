// Drawing a stage frame: scenery layers, tiles, pickups, enemies, the player, effects and the HUD.
#pragma once

void DrawStageFrame();
