#include "main/modes.h"

int32_t GameMode = ModeLogo;
int32_t StageId = 1;
int32_t StagePhase = 1;
int32_t MusicSelect = 0;

namespace {

struct ModeHandlers {
    void (*update)();
    void (*draw)();
};

// Indexed by GameMode. Modes whose handlers are not written yet hold a frozen picture.
constexpr ModeHandlers ModeTable[] = {
    {nullptr, nullptr}, // ModeTitle
    {nullptr, nullptr}, // ModeStage
    {nullptr, nullptr}, // ModeContinue
    {nullptr, nullptr}, // ModeStageResult
    {nullptr, nullptr}, // ModeExtras
    {nullptr, nullptr}, // ModeLoadingScreen
    {nullptr, nullptr}, // ModeLoadAssets
    {nullptr, nullptr}, // ModeStory
    {nullptr, nullptr}, // ModeLogo
    {nullptr, nullptr}, // 9: no mode
    {nullptr, nullptr}, // 10: no mode
    {nullptr, nullptr}, // ModeEndingRoll
    {nullptr, nullptr}, // ModeTutorial
};

} // namespace

void RunModeHandlers() {
    if (GameMode < 0 || GameMode >= static_cast<int32_t>(sizeof ModeTable / sizeof ModeTable[0])) {
        return;
    }
    const ModeHandlers& mode = ModeTable[GameMode];
    if (mode.update != nullptr) {
        mode.update();
    }
    if (mode.draw != nullptr) {
        mode.draw();
    }
}
