// Drawing a stage frame: scenery layers, tiles, pickups, enemies, the player, effects, the HUD,
// the story overlay, the stage banner and the wipe.
#pragma once

#include <cstdint>

// The stage-title strip that slides right and fades out when a stage starts.
struct StageBannerRecord {
    int32_t active;
    int32_t x;
    int32_t alpha;
    int32_t rowY; // source row in "indication.png"
};

// The two fog overlays of the last stages.
struct FogRecord {
    int32_t driftX; // first fog only
    int32_t shown1, alpha1;
    int32_t shown2, alpha2;
};

extern StageBannerRecord StageBanner;
extern FogRecord Fog;
extern int32_t MaxLabelCounter; // blink of the green gauge's "MAX"
extern int32_t ArrowCounter;    // blink of the boss-cleared arrow

// The whole stage frame, in its fixed order.
void DrawStageFrame();
// The far, slow and near scenery layers and the arena backdrop, then the layer offsets' wrap.
void DrawBackground();
