#include "main/trace.h"

#include "engine/headless.h"
#include "main/modes.h"
#include "stage/stage.h"
#include "story/scenes.h"
#include "story/script.h"
#include "story/window.h"

// Subsystems that are not in the game yet report their zero values.
void WriteTraceLine(std::FILE* out, int frame) {
    std::fprintf(out,
                 "{\"frame\":%d,\"GameMode\":%d,\"StageId\":%d,\"StagePhase\":%d,"
                 "\"MusicSelect\":%d,\"Score\":%d,\"TotalScore\":%d,\"Continues\":%d,"
                 "\"TimeLeft\":%d,\"ScrollX\":%d,\"ScrollLocked\":%d,\"ArenaTransition\":%d,"
                 "\"StoryStep\":%d,\"StorySide\":%d,\"ScriptPosition\":[%d,%d,%d],",
                 frame, GameMode, StageId, StagePhase, MusicSelect, 0, 0, 0, 0, 0, ScrollLocked, 0,
                 StoryStep, StorySide, ScriptPosition.block, ScriptPosition.line,
                 ScriptPosition.offset);
    std::fprintf(out,
                 "\"player\":{\"kind\":0,\"posX\":0,\"posY\":0,\"screenX\":0,\"velY\":0,"
                 "\"facing\":0,\"airborne\":0,\"PlayerLife\":0,\"ItemLife\":0,\"GreenGauge\":0,"
                 "\"hurt\":0,\"dead\":0,\"attackTimer\":0,\"specialTimer\":0,\"PossessFlash\":0},"
                 "\"freeItem\":{\"kind\":0,\"x\":0,\"y\":0,\"inStage\":0,\"falling\":0,"
                 "\"possessable\":0},\"enemies\":[],\"sounds\":[");
    const char* names[32];
    const int count = TakeStartedSounds(names, 32);
    for (int i = 0; i < count; ++i) {
        std::fprintf(out, "%s\"%s\"", i > 0 ? "," : "", names[i]);
    }
    std::fputs("]}\n", out);
}
