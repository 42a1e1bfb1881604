// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "runner/trace.h"

#include "enemy/enemies.h"
#include "engine/headless.h"
#include "game/run.h"
#include "stage/player.h"
#include "stage/stage.h"
#include "story/scenes.h"
#include "story/script.h"
#include "story/window.h"

void WriteTraceLine(std::FILE* out, int frame) {
    std::fprintf(out,
                 "{\"frame\":%d,\"GameMode\":%d,\"StageId\":%d,\"StagePhase\":%d,"
                 "\"MusicSelect\":%d,\"Score\":%d,\"TotalScore\":%d,\"Continues\":%d,"
                 "\"TimeLeft\":%d,\"ScrollX\":%d,\"ScrollLocked\":%d,\"ArenaTransition\":%d,"
                 "\"StoryStep\":%d,\"StorySide\":%d,\"ScriptPosition\":[%d,%d,%d],",
                 frame, GameMode, StageId, StagePhase, MusicSelect, Score, TotalScore, Continues,
                 TimeLeft, static_cast<int>(ScrollX), ScrollLocked, ArenaTransition, StoryStep,
                 StorySide, ScriptPosition.block, ScriptPosition.line, ScriptPosition.offset);
    const PlayerStateRecord& p = PlayerState;
    std::fprintf(out,
                 "\"player\":{\"kind\":%d,\"posX\":%.2f,\"posY\":%.2f,\"screenX\":%.2f,"
                 "\"velY\":%.2f,\"facing\":%d,\"airborne\":%d,\"PlayerLife\":%d,\"ItemLife\":%d,"
                 "\"GreenGauge\":%.2f,\"hurt\":%d,\"dead\":%d,\"attackTimer\":%d,"
                 "\"specialTimer\":%d,\"PossessFlash\":%d},",
                 p.kind, p.posX, p.posY, p.screenX, p.velY, p.facing, p.airborne, p.PlayerLife,
                 p.ItemLife, p.GreenGauge, p.hurt, p.dead, p.attackTimer, p.specialTimer,
                 p.PossessFlash);
    std::fprintf(out,
                 "\"freeItem\":{\"kind\":%d,\"x\":%.2f,\"y\":%.2f,\"inStage\":%d,\"falling\":%d,"
                 "\"possessable\":%d},\"enemies\":[",
                 FreeItem.kind, FreeItem.x, FreeItem.y, FreeItem.inStage, FreeItem.falling,
                 FreeItem.possessable);
    bool first = true;
    for (int slot = 0; slot < EnemySlotCount; ++slot) {
        const EnemySlotRecord& e = EnemySlot[slot];
        if (e.active != 0) {
            std::fprintf(out,
                         "%s{\"slot\":%d,\"kind\":%d,\"x\":%.2f,\"y\":%.2f,\"hp\":%d,\"hit\":%d,"
                         "\"dying\":%d}",
                         first ? "" : ",", slot, e.kind, e.x, e.y, e.hp, e.hit, e.dying);
            first = false;
        }
    }
    std::fputs("],\"sounds\":[", out);
    const char* names[32];
    const int count = TakeStartedSounds(names, 32);
    for (int i = 0; i < count; ++i) {
        std::fprintf(out, "%s\"%s\"", i > 0 ? "," : "", names[i]);
    }
    std::fputs("]}\n", out);
}
