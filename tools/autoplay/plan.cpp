// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "plan.h"

#include "enemy/enemies.h"
#include "game/run.h"
#include "main/extras.h"
#include "main/results.h"
#include "main/save.h"
#include "main/title.h"
#include "model.h"
#include "stage/map.h"
#include "stage/player.h"
#include "stage/stage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <queue>
#include <unordered_set>
#include <vector>

bool Verbose = false;

namespace {

// ---- Keys of the frame being decided ---------------------------------------------------------

KeySet Prev = 0; // what the game saw in the frame just played
KeySet Out = 0;

bool WasHeld(KeyId key) {
    return (Prev & Bit(key)) != 0;
}
void Hold(KeyId key) {
    Out |= Bit(key);
}
// The game counts a press only on the first frame a key is down.
void Press(KeyId key) {
    if (!WasHeld(key)) {
        Out |= Bit(key);
    }
}

// ---- Scenario progress -----------------------------------------------------------------------

Scenario Current = Scenario::Full;
int PreviousMode = -1;
int TitleVisits = 0;
std::vector<KeySet> MenuQueue;
size_t MenuIndex = 0;
int EndCountdown = -1;
bool ReachedGoal = false; // the scenario's own end (ending roll, game over, tutorial's end)
bool LapGoal = false;     // the same, in the lap being played
bool Looping = false;     // play the scenario again each time it is back at the title
int Laps = 0;             // laps played to their end and back to the title
int ShortLaps = 0;        // laps back at the title without reaching their end (a game over)
int CurrentFrame = 0;
int GameOverShown = 0;

void Say(const char* format, double a = 0, double b = 0, double c = 0) {
    if (Verbose) {
        std::printf("%6d  ", CurrentFrame);
        std::printf(format, a, b, c);
        std::printf("\n");
    }
}

// ---- What a stage took -----------------------------------------------------------------------

struct StageStats {
    int fieldStart = -1;
    int wipeStart = -1;
    int timeAtWipe = 0;
    int arenaStart = -1;
    int bossDown = -1;
    int widestHole = 0;        // pixels of open ground row crossed in one jump
    int highestStep = 0;       // pixels climbed in one jump
    int tightestFooting = 999; // fewest pixels of a take-off or landing on solid ground
    int hits = 0;
    int lowestItemLife = 999;
    int lowestPlayerLife = 999;
    int refills = 0;
    int deaths = 0;
    int itemsCalled = 0;
    int stuckFrames = 0;
    double stuckX = -1;
};

StageStats Stats[7];
int LastHurt = 0, LastDead = 0, LastAirborne = 0, LastKind = 0;
double TakeoffX = 0, TakeoffFeet = 0;
int BestX = 0, BestXFrame = 0, LastStageId = 0;
double HoppingUntilX = -1; // see WantedItem

int FieldOf(int stageId) {
    return stageId >= 11 ? stageId / 10 : stageId;
}

bool GroundSolid(int column) {
    return column >= 0 && column < MapColumns && StageMap[7 * MapColumns + column] > 0;
}

// Pixels of the foot line that stand on something solid.
int Footing(const PlayerStateRecord& p) {
    const double feet = p.posY + p.BodyBox.bottom;
    int count = 0;
    for (int x = p.BodyBox.left + 1; x <= p.BodyBox.right - 1; ++x) {
        if (TileAt(p.posX + x, feet) > 0) {
            ++count;
        }
    }
    return count;
}

void CountStage() {
    const PlayerStateRecord& p = PlayerState;
    const int field = FieldOf(StageId);
    if (field < 1 || field > 6) {
        return;
    }
    StageStats& s = Stats[field];
    const bool action = (GameMode == ModeStage || GameMode == ModeTutorial) && StagePhase == 0;
    if (action && StageId <= 6 && s.fieldStart < 0) {
        s.fieldStart = CurrentFrame;
    }
    if (ArenaTransition != 0 && s.wipeStart < 0 && StageId <= 5) {
        s.wipeStart = CurrentFrame;
        s.timeAtWipe = TimeLeft;
    }
    if (StageId >= 11 && ArenaTransition == 0 && s.arenaStart < 0) {
        s.arenaStart = CurrentFrame;
    }
    if (StageId >= 11 && s.arenaStart >= 0 && s.bossDown < 0) {
        bool anyBoss = false;
        for (const EnemySlotRecord& e : EnemySlot) {
            anyBoss = anyBoss || (e.active != 0 && e.kind >= BossDog);
        }
        if (!anyBoss) {
            s.bossDown = CurrentFrame;
        }
    }
    if (!action) {
        return;
    }
    if (p.hurt != 0 && LastHurt == 0) {
        ++s.hits;
        Say("hit, item life %.0f", p.ItemLife);
    }
    if (p.dead != 0 && LastDead == 0) {
        ++s.deaths;
        Say("dead at x %.0f y %.0f", p.posX, p.posY);
    }
    if (StageId != LastStageId || p.dead != 0) {
        HoppingUntilX = -1;
        BestX = 0;
        BestXFrame = CurrentFrame;
        LastStageId = StageId;
    }
    if (p.kind > 0) {
        s.lowestItemLife = std::min(s.lowestItemLife, p.ItemLife);
        if (p.airborne != 0 && LastAirborne == 0) {
            TakeoffX = p.posX;
            TakeoffFeet = p.posY + p.BodyBox.bottom;
            if (StageId <= 5 && LastKind == p.kind && p.velY < 0) {
                s.tightestFooting = std::min(s.tightestFooting, Footing(p));
            }
        }
        if (p.airborne == 0 && LastAirborne != 0 && LastKind == p.kind) {
            const double feet = p.posY + p.BodyBox.bottom;
            if (StageId <= 5) {
                s.tightestFooting = std::min(s.tightestFooting, Footing(p));
                s.highestStep = std::max(s.highestStep, static_cast<int>(TakeoffFeet - feet));
                // The longest run of open ground row between the two feet positions.
                const int from =
                    static_cast<int>((std::min(TakeoffX, p.posX) + p.BodyBox.left) / TileSize);
                const int to =
                    static_cast<int>((std::max(TakeoffX, p.posX) + p.BodyBox.right) / TileSize);
                int run = 0;
                for (int c = from; c <= to; ++c) {
                    run = GroundSolid(c) ? 0 : run + 1;
                    s.widestHole = std::max(s.widestHole, run * TileSize);
                }
            }
        }
    }
    s.lowestPlayerLife = std::min(s.lowestPlayerLife, p.PlayerLife);
    if (StageId <= 5 && p.kind > 0) {
        if (p.posX > BestX + 30) {
            BestX = static_cast<int>(p.posX);
            BestXFrame = CurrentFrame;
        } else if (CurrentFrame - BestXFrame > 600 && s.stuckX < 0) {
            s.stuckX = p.posX;
            std::printf("stage %d: no progress for 10 seconds at x %.0f y %.0f\n", field, p.posX,
                        p.posY);
        }
    }
    LastHurt = p.hurt;
    LastDead = p.dead;
    LastAirborne = p.airborne;
    LastKind = p.kind;
}

// ---- The possessed item in the field ---------------------------------------------------------

constexpr int Horizon = 160; // frames an item may stay in the air
TrapForecast Forecast;

ModelBody BodyNow() {
    const PlayerStateRecord& p = PlayerState;
    ModelBody b;
    b.x = p.posX;
    b.y = p.posY;
    b.velY = p.velY;
    b.airborne = p.airborne != 0;
    b.kind = p.kind;
    b.height = p.height;
    b.box = p.BodyBox;
    return b;
}

ModelLimits LimitsNow() {
    return {ScrollLocked != 0, ScrollX};
}

// One frame of input for the item: a direction and the up key.
struct Input {
    int8_t dir;
    bool up;
};

// The way on through the field: the inputs of the coming frames, found by a search over the
// places where the item can stand, and where they lead.
struct Route {
    std::vector<Input> inputs;
    size_t next = 0;
    double endX = 0, endY = 0;
    bool valid = false;
};
Route Way;

// A jump (or, from the air, a steering plan): the direction on the take-off frame, then the
// direction held in the air, switched once after switchAt frames.
struct Leap {
    int8_t jumpDir, first;
    int switchAt;
    int8_t then;
};

constexpr Leap Leaps[] = {
    {+1, +1, -1, 0}, {+1, +1, 4, 0},  {+1, +1, 10, 0}, {+1, +1, 18, 0}, {+1, +1, 28, 0},
    {0, 0, -1, 0},   {0, 0, 8, +1},   {0, 0, 18, +1},  {+1, +1, 8, -1}, {+1, +1, 20, -1},
    {-1, -1, -1, 0}, {-1, -1, 10, 0}, {0, 0, 10, -1},
};

constexpr double Reach = 420.0; // how far ahead a search looks for a place to stand

// Runs one action from body (standing, or in the air for the root): 0 walks right, 1 walks left,
// 2.. jumps or steers as Leaps[action - 2]. Appends the inputs; false when it hurts, falls out of
// the map or never lands.
bool RunAction(ModelBody& b, int t, int action, const ModelLimits& limits,
               std::vector<Input>& out) {
    auto step = [&](int dir, bool up) {
        ModelStep(b, dir, up, limits);
        out.push_back({static_cast<int8_t>(dir), up});
        ++t;
        return !ModelLost(b) && !Forecast.Hurts(b, t);
    };
    int air = 0;
    if (action < 2) {
        const int dir = action == 0 ? +1 : -1;
        const double before = b.x;
        if (!step(dir, false)) {
            return false;
        }
        if (!b.airborne) {
            return b.x != before;
        }
        while (b.airborne && air++ < Horizon) {
            if (!step(dir, false)) {
                return false;
            }
        }
        return !b.airborne;
    }
    const Leap& leap = Leaps[action - 2];
    if (!b.airborne && !step(leap.jumpDir, true)) {
        return false;
    }
    while (b.airborne && air < Horizon) {
        const int dir = leap.switchAt < 0 || air < leap.switchAt ? leap.first : leap.then;
        ++air;
        if (!step(dir, false)) {
            return false;
        }
    }
    return !b.airborne;
}

struct Node {
    ModelBody body;
    int t;
    int parent;
    size_t from, count; // its inputs in the pool
};

// Searches, earliest arrival first, for a place to stand Reach pixels further on (or the end of
// the field); failing that, the furthest place found. False when nothing is better than here.
bool FindRoute() {
    const ModelLimits limits = LimitsNow();
    const ModelBody start = BodyNow();
    std::vector<Node> nodes;
    std::vector<Input> pool;
    std::priority_queue<std::pair<int, int>, std::vector<std::pair<int, int>>, std::greater<>> open;
    std::unordered_set<int64_t> seen;
    nodes.push_back({start, 0, -1, 0, 0});
    open.push({0, 0});
    int goal = -1;
    int furthest = 0;
    int expansions = 0;
    const double goalX = std::min(start.x + Reach, 12480.0 - start.box.right - 40);
    while (!open.empty() && expansions < 2500) {
        const int index = open.top().second;
        open.pop();
        const Node node = nodes[static_cast<size_t>(index)];
        if (node.body.x >= goalX && !node.body.airborne) {
            goal = index;
            break;
        }
        ++expansions;
        const int actions = 2 + static_cast<int>(sizeof Leaps / sizeof Leaps[0]);
        for (int action = node.body.airborne ? 2 : 0; action < actions; ++action) {
            ModelBody b = node.body;
            std::vector<Input> inputs;
            if (!RunAction(b, node.t, action, limits, inputs)) {
                continue;
            }
            if (b.x < start.x - 300 || b.x > goalX + 300 || node.t > 900) {
                continue;
            }
            const int64_t key = static_cast<int64_t>(std::lround(b.x)) * 100000 +
                                static_cast<int64_t>(std::lround(b.y * 2 + 5000));
            if (!seen.insert(key).second) {
                continue;
            }
            nodes.push_back(
                {b, node.t + static_cast<int>(inputs.size()), index, pool.size(), inputs.size()});
            pool.insert(pool.end(), inputs.begin(), inputs.end());
            const int added = static_cast<int>(nodes.size()) - 1;
            if (b.x > nodes[static_cast<size_t>(furthest)].body.x) {
                furthest = added;
            }
            open.push({nodes.back().t, added});
        }
    }
    if (goal < 0) {
        if (nodes[static_cast<size_t>(furthest)].body.x < start.x + 30) {
            return false;
        }
        goal = furthest;
    }
    std::vector<int> chain;
    for (int i = goal; i > 0; i = nodes[static_cast<size_t>(i)].parent) {
        chain.push_back(i);
    }
    Way = {};
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Node& n = nodes[static_cast<size_t>(*it)];
        Way.inputs.insert(Way.inputs.end(), pool.begin() + static_cast<long>(n.from),
                          pool.begin() + static_cast<long>(n.from + n.count));
    }
    Way.endX = nodes[static_cast<size_t>(goal)].body.x;
    Way.endY = nodes[static_cast<size_t>(goal)].body.y;
    Way.valid = !Way.inputs.empty();
    Say("route of %.0f frames to x %.0f (%.0f searched)", static_cast<double>(Way.inputs.size()),
        Way.endX, expansions);
    return Way.valid;
}

// The rest of the route still leads safely where it led when it was found.
bool RouteHolds() {
    if (!Way.valid || Way.next >= Way.inputs.size()) {
        return false;
    }
    ModelBody b = BodyNow();
    const ModelLimits limits = LimitsNow();
    int t = 0;
    for (size_t i = Way.next; i < Way.inputs.size(); ++i) {
        ModelStep(b, Way.inputs[i].dir, Way.inputs[i].up, limits);
        ++t;
        if (ModelLost(b) || Forecast.Hurts(b, t)) {
            return false;
        }
    }
    return std::fabs(b.x - Way.endX) < 0.5 && std::fabs(b.y - Way.endY) < 0.5;
}

bool StandingIsSafe(int frames);
int BlockedFrames = 0; // frames spent waiting for a way on

void WalkTheField() {
    const PlayerStateRecord& p = PlayerState;
    if (p.hurt != 0 && p.hurtTimer <= 20) {
        Way.valid = false;
        Hold(KeyRight); // the knock-back owns the item; the pad answers again after 20 frames
        return;
    }
    if (p.posX + p.BodyBox.right >= 12480 - 100) {
        Hold(KeyRight); // the end of the field: the wipe starts at the right of the screen
        return;
    }
    if (!RouteHolds() && !FindRoute()) {
        Say("no safe way on at x %.0f y %.0f", p.posX, p.posY);
        // A moving trap may be in the way for now: wait where it is safe before trying more.
        if (p.airborne == 0 && ++BlockedFrames < 150 && StandingIsSafe(30)) {
            return;
        }
        BlockedFrames = 0;
        if (p.kind == Gun && p.airborne == 0) {
            HoppingUntilX = p.posX + 400;
            Say("trying the pogo stick up to x %.0f", HoppingUntilX);
            Press(KeyC);
            return;
        }
        Way.valid = false;
        Hold(KeyRight);
        Hold(KeyUp);
        return;
    }
    BlockedFrames = 0;
    const Input input = Way.inputs[Way.next++];
    if (input.dir > 0) {
        Hold(KeyRight);
    } else if (input.dir < 0) {
        Hold(KeyLeft);
    }
    if (input.up) {
        Hold(KeyUp);
    }
}

// ---- Fighting --------------------------------------------------------------------------------

struct Target {
    int slot = -1;
    double left = 0, top = 0, right = 0, bottom = 0;
};

Target BodyOf(int slot) {
    const EnemySlotRecord& e = EnemySlot[slot];
    return {slot, e.x + e.bodyLeft, e.y + e.bodyTop, e.x + e.bodyRight, e.y + e.bodyBottom};
}

bool Hittable(const EnemySlotRecord& e) {
    return e.active != 0 && e.dying == 0 && e.hit == 0 && e.kind > 0;
}

bool OnScreen(const Target& t) {
    return t.right - ScrollX > 0 && t.left - ScrollX < 640;
}

// Would a shot fired now, of this height, meet the target before a wall?
bool ShotMeets(const Target& t, int shotHeight) {
    const PlayerStateRecord& p = PlayerState;
    const double y = p.posY + p.BodyBox.top + (p.airborne != 0 ? p.velY : 0.0);
    if (!(y < t.bottom && t.top < y + shotHeight)) {
        return false;
    }
    double from = 0, to = 0;
    if (p.facing > 0) {
        from = p.posX + p.BodyBox.right - 10;
        to = t.left;
        if (t.right < from) {
            return false;
        }
    } else {
        from = t.right;
        to = p.posX + p.BodyBox.left;
        if (t.left > to + 10) {
            return false;
        }
    }
    if (to - from > 900) {
        return false;
    }
    for (double x = from; x < to; x += 20) {
        if (TileAt(x, y) > 0 || TileAt(x, y + shotHeight) > 0) {
            return false;
        }
    }
    return true;
}

void Shoot(bool bossesOnly) {
    const PlayerStateRecord& p = PlayerState;
    if (p.kind != Gun || p.attackTimer != 0 || p.specialTimer != 0) {
        return;
    }
    for (int slot = 0; slot < EnemySlotCount; ++slot) {
        const EnemySlotRecord& e = EnemySlot[slot];
        if (!Hittable(e) || (bossesOnly && e.kind < BossDog)) {
            continue;
        }
        const Target t = BodyOf(slot);
        if (!OnScreen(t)) {
            continue;
        }
        if (p.GreenGauge >= 100.0 && ShotMeets(t, 15)) {
            Press(KeyX);
            return;
        }
        if (ShotMeets(t, 10)) {
            Press(KeyZ);
            return;
        }
    }
}

// The bear (the tutorial's item) swings at an enemy just ahead.
void Swing() {
    const PlayerStateRecord& p = PlayerState;
    if (p.kind != Bear || p.attackTimer != 0) {
        return;
    }
    const double reachLeft = p.posX + p.AttackBox.left - 40;
    const double reachRight = p.posX + p.AttackBox.right + 40;
    for (int slot = 0; slot < EnemySlotCount; ++slot) {
        if (!Hittable(EnemySlot[slot])) {
            continue;
        }
        const Target t = BodyOf(slot);
        if (t.left < reachRight && reachLeft < t.right && t.top < p.posY + p.BodyBox.bottom &&
            p.posY + p.BodyBox.top < t.bottom) {
            Press(KeyZ);
            return;
        }
    }
}

void FightBosses() {
    const PlayerStateRecord& p = PlayerState;
    const double centre = p.posX + (p.BodyBox.left + p.BodyBox.right) / 2.0;
    int best = -1;
    double bestDistance = 1e9;
    bool anyBoss = false;
    for (int slot = 0; slot < EnemySlotCount; ++slot) {
        const EnemySlotRecord& e = EnemySlot[slot];
        if (e.active == 0 || e.kind < BossDog) {
            continue;
        }
        anyBoss = true;
        const Target t = BodyOf(slot);
        if (e.dying != 0 || !OnScreen(t)) {
            continue;
        }
        const double distance = std::fabs((t.left + t.right) / 2 - centre);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = slot;
        }
    }
    if (!anyBoss) {
        if (StageId == 11 || StageId == 21 || StageId == 31) {
            Hold(KeyRight); // the way out is the right edge of the screen
        }
        return;
    }
    if (best < 0) {
        return;
    }
    const Target t = BodyOf(best);
    const double targetCentre = (t.left + t.right) / 2;
    const int want = targetCentre > centre ? +1 : -1;
    if (p.facing != want && std::fabs(targetCentre - centre) > 20) {
        Hold(want > 0 ? KeyRight : KeyLeft);
    }
    // From the floor the shot may pass under a boss that hovers: hop to meet it.
    const double groundShot = p.posY + p.BodyBox.top;
    if (p.airborne == 0 && t.bottom <= groundShot + 1) {
        Hold(KeyUp);
    }
    Shoot(true);
}

// Enemies near the heroine: turn to one close behind; wait for a bat to come into the line of
// fire (for a while) rather than meet it in mid-jump. True when this frame's move is decided.
int ThreatWait[EnemySlotCount] = {};

bool StandingIsSafe(int frames) {
    ModelBody b = BodyNow();
    const ModelLimits limits = LimitsNow();
    for (int t = 1; t <= frames; ++t) {
        ModelStep(b, 0, false, limits);
        if (ModelLost(b) || b.airborne || Forecast.Hurts(b, t)) {
            return false;
        }
    }
    return true;
}

bool FaceThreat() {
    const PlayerStateRecord& p = PlayerState;
    if (p.kind != Gun || p.airborne != 0) {
        return false;
    }
    const double centre = p.posX + (p.BodyBox.left + p.BodyBox.right) / 2.0;
    for (int slot = 0; slot < EnemySlotCount; ++slot) {
        const EnemySlotRecord& e = EnemySlot[slot];
        if (!Hittable(e) || ThreatWait[slot] > 150) {
            continue;
        }
        const Target t = BodyOf(slot);
        const double dx = (t.left + t.right) / 2 - centre;
        const bool level =
            t.top - 40 < p.posY + p.BodyBox.bottom && p.posY + p.BodyBox.top < t.bottom + 40;
        const bool bat = e.kind == Chaser && std::fabs(dx) < 330;
        if (!bat && !(level && std::fabs(dx) < 260)) {
            continue;
        }
        // Too close to shoot, or still reloading with it near: better keep moving.
        if (std::fabs(dx) < 70 || (p.attackTimer != 0 && std::fabs(dx) < 200)) {
            return false;
        }
        if (!StandingIsSafe(20)) {
            return false;
        }
        ++ThreatWait[slot];
        Way.valid = false;
        if (dx * p.facing < 0) {
            const int dir = dx > 0 ? +1 : -1;
            ModelBody b = BodyNow();
            ModelStep(b, dir, false, LimitsNow());
            if (!ModelLost(b) && !b.airborne && !Forecast.Hurts(b, 1)) {
                Hold(dir > 0 ? KeyRight : KeyLeft);
            }
        }
        return true; // stand; Shoot fires once it is in line
    }
    return false;
}

// ---- The heroine as a ghost ------------------------------------------------------------------

// Where the gun finds no way on (a trap hanging over a hole, say), the pogo stick's high jump is
// tried up to HoppingUntilX.

int WantedItem() {
    if (StageId == 6) {
        return 0;
    }
    if (StageId <= 5 && HoppingUntilX > 0) {
        return Hopping;
    }
    return Gun;
}

void SteerGhostTo(double x, double y) {
    const PlayerStateRecord& p = PlayerState;
    const double dx = x - (p.posX + (p.BodyBox.left + p.BodyBox.right) / 2.0);
    const double dy = y - (p.posY + (p.BodyBox.top + p.BodyBox.bottom) / 2.0);
    if (dx > 2) {
        Hold(KeyRight);
    } else if (dx < -2) {
        Hold(KeyLeft);
    }
    if (dy > 2) {
        Hold(KeyDown);
    } else if (dy < -2) {
        Hold(KeyUp);
    }
}

void PlayGhost() {
    const PlayerStateRecord& p = PlayerState;
    const FreeItemRecord& item = FreeItem;
    if (item.inStage == 1 && item.possessable == 1 && item.y < 960) {
        const double cx = item.x + (item.box.left + item.box.right) / 2.0;
        const double cy = item.y + (item.box.top + item.box.bottom) / 2.0;
        SteerGhostTo(cx, cy);
        const bool touching = p.posX + p.BodyBox.right > item.x + item.box.left &&
                              item.x + item.box.right > p.posX + p.BodyBox.left &&
                              p.posY + p.BodyBox.bottom > item.y + item.box.top &&
                              item.y + item.box.bottom > p.posY + p.BodyBox.top;
        if (touching) {
            Press(KeyC);
        }
        return;
    }
    // Wait above the spot where the next item will fall, and call it as soon as the old one is
    // gone.
    const int wanted = WantedItem() > 0 ? WantedItem() : Bear;
    const int width = wanted == Bear ? 120 : 60;
    const int centred = 320 - width / 2;
    const double dropX = item.y >= 960 && (centred > item.x || StageId >= 11) ? centred : item.x;
    SteerGhostTo(dropX + width / 2.0, 0);
    if (item.y >= 960) {
        Hold(static_cast<KeyId>(KeyDigit1 + wanted - 1));
        Press(KeyA);
        if (WasHeld(KeyA)) {
            return;
        }
        ++Stats[std::clamp(FieldOf(StageId), 0, 6)].itemsCalled;
        Say("item %.0f called", wanted);
    }
}

// ---- A stage in its action phase -------------------------------------------------------------

void Refill() {
    const PlayerStateRecord& p = PlayerState;
    if (StageId == 6 || WasHeld(KeyF5) || WasHeld(KeyF6)) {
        return; // the tutorial has no function keys; each refill needs a fresh press
    }
    StageStats& s = Stats[std::clamp(FieldOf(StageId), 0, 6)];
    if (p.PlayerLife < 100) {
        Hold(KeyF5);
        ++s.refills;
    } else if (p.kind > 0 && p.ItemLife < (StageId >= 11 ? 140 : 100)) {
        Hold(KeyF6);
        ++s.refills;
    }
}

void PlayStage() {
    const PlayerStateRecord& p = PlayerState;
    if (Current == Scenario::GameOver) {
        return; // the heroine waits as a ghost until her life is gone
    }
    if (p.dead != 0 || ArenaTransition != 0) {
        Way.valid = false;
        return;
    }
    Refill();
    Forecast.Build(1000);
    if (p.kind == Ghost) {
        Way.valid = false;
        PlayGhost();
        return;
    }
    if (p.kind == Hopping && p.airborne == 0 && p.posX >= HoppingUntilX) {
        HoppingUntilX = -1; // past the obstacle: back to the gun
    }
    if (WantedItem() > 0 && p.kind != WantedItem() && p.PossessFlash == 0 && p.airborne == 0 &&
        p.hurt == 0) {
        Press(KeyC); // leave it; the wanted item is called next
        Say("leaving item %.0f", p.kind);
        return;
    }
    if (StageId >= 11) {
        FightBosses();
        return;
    }
    if (StageId == 6) {
        bool enemy = false;
        for (const EnemySlotRecord& e : EnemySlot) {
            enemy = enemy || Hittable(e);
        }
        if (!enemy) {
            return;
        }
    }
    if (!FaceThreat()) {
        WalkTheField();
    }
    Shoot(false);
    Swing();
}

// ---- Menus and story -------------------------------------------------------------------------

// Moves the lit menu item `steps` times with `key`, then presses button 1. The menus keep their
// cursor between visits, so the steps are counted from the item lit now.
void QueueMenu(KeyId key, int steps) {
    MenuQueue.clear();
    MenuIndex = 0;
    const KeyId first = steps > 0 ? key : KeyZ;
    if (WasHeld(first)) {
        MenuQueue.push_back(0); // still down from the screen before: let it go first
    }
    for (int n = 0; n <= steps; ++n) {
        MenuQueue.push_back(Bit(n < steps ? key : KeyZ));
        MenuQueue.push_back(0);
    }
}

void PlayMenuQueue() {
    if (MenuIndex < MenuQueue.size()) {
        Out = MenuQueue[MenuIndex++];
    }
}

void QueueScenarioMenu() {
    constexpr int TitleItems = 4;
    int item = 1; // start
    switch (Current) {
    case Scenario::Full:
    case Scenario::GameOver:
        item = 1;
        break;
    case Scenario::Tutorial:
        item = 2;
        break;
    case Scenario::Ex:
        item = 3; // the extras, where the EX stage is
        break;
    }
    QueueMenu(KeyDown, ((item - TitleCursor) % TitleItems + TitleItems) % TitleItems);
}

void OnModeChange() {
    const bool backAtTitle = GameMode == ModeTitle && TitleVisits > 0;
    if (GameMode == ModeEndingRoll && (Current == Scenario::Full || Current == Scenario::Ex)) {
        LapGoal = true;
    }
    if (backAtTitle && PreviousMode == ModeTutorial && Current == Scenario::Tutorial) {
        LapGoal = true;
    }
    if (backAtTitle && PreviousMode == ModeContinue && Current == Scenario::GameOver) {
        LapGoal = true;
    }
    ReachedGoal = ReachedGoal || LapGoal;
    if (GameMode == ModeTitle) {
        if (!backAtTitle) {
            QueueScenarioMenu();
        } else if (Looping) {
            // Again from this title, whether or not the lap got to its end: a long run wants
            // game play, and a lap cut short by a game over is play too (counted apart).
            ++(LapGoal ? Laps : ShortLaps);
            Say("lap %.0f done, %.0f cut short", Laps, ShortLaps);
            LapGoal = false;
            QueueScenarioMenu();
        } else {
            EndCountdown = 30; // back at the title: let it settle, then stop
        }
        ++TitleVisits;
    } else if (GameMode == ModeExtras) {
        constexpr int ExRow = 3, Rows = 3;
        QueueMenu(KeyUp, ((ExtrasRow - ExRow) % Rows + Rows) % Rows);
    }
}

} // namespace

const char* ScenarioName(Scenario scenario) {
    switch (scenario) {
    case Scenario::Full:
        return "full";
    case Scenario::Tutorial:
        return "tutorial";
    case Scenario::GameOver:
        return "gameover";
    case Scenario::Ex:
        return "ex";
    }
    return "?";
}

bool ParseScenario(const char* text, Scenario* scenario) {
    for (Scenario s : {Scenario::Full, Scenario::Tutorial, Scenario::GameOver, Scenario::Ex}) {
        if (std::strcmp(text, ScenarioName(s)) == 0) {
            *scenario = s;
            return true;
        }
    }
    return false;
}

void StartScenario(Scenario scenario, bool loop) {
    Current = scenario;
    Looping = loop;
}

Decision DecideFrame(int frame) {
    CurrentFrame = frame;
    Prev = Out;
    Out = 0;
    if (GameMode != PreviousMode) {
        OnModeChange();
        PreviousMode = GameMode;
    }
    CountStage();
    Decision decision;
    if (EndCountdown >= 0) {
        decision.finished = EndCountdown-- == 0;
        return decision;
    }
    switch (GameMode) {
    case ModeTitle:
    case ModeExtras:
        PlayMenuQueue();
        break;
    case ModeStory:
        Hold(KeyA); // fast-forward
        break;
    case ModeStage:
    case ModeTutorial:
        if (StagePhase == 1) {
            Hold(KeyA);
        } else {
            PlayStage();
        }
        break;
    case ModeStageResult:
        Press(KeyZ);
        break;
    case ModeContinue:
        if (Current != Scenario::GameOver) {
            Press(KeyZ); // yes, once more
        } else if (Continues > 0) {
            Press(KeyX); // no: the game over picture
            GameOverShown = CurrentFrame;
        } else if (CurrentFrame - GameOverShown > 90) {
            Press(KeyZ); // a while on the game over picture, then the title
        }
        break;
    case ModeEndingRoll:
        if (RollY > RollEndY) {
            Hold(KeyA);
        } else {
            Press(KeyZ);
        }
        break;
    default:
        break;
    }
    decision.keys = Out;
    return decision;
}

void PrintReport(int frames) {
    std::printf("scenario %s: %d frames, %s\n", ScenarioName(Current), frames,
                ReachedGoal ? "reached its end" : "did NOT reach its end");
    if (Looping) {
        std::printf("looped: %d laps to the end and back to the title, %d cut short\n", Laps,
                    ShortLaps);
    }
    for (int field = 1; field <= 6; ++field) {
        const StageStats& s = Stats[field];
        if (s.fieldStart < 0) {
            continue;
        }
        const char* name = field == 6 ? "tutorial" : field == 5 ? "stage EX" : "stage";
        std::printf("%s %d: ", name, field);
        if (s.wipeStart >= 0) {
            std::printf("field %d frames (clock %d s left)", s.wipeStart - s.fieldStart,
                        s.timeAtWipe);
        } else {
            std::printf("field not crossed");
        }
        if (s.arenaStart >= 0) {
            if (s.bossDown >= 0) {
                std::printf(", boss %d frames", s.bossDown - s.arenaStart);
            } else {
                std::printf(", boss NOT beaten");
            }
        }
        std::printf("\n    widest hole %d px, highest step %d px, tightest footing %d px, "
                    "hits %d, lowest item life %d, lowest life %d, refills %d, items called %d, "
                    "deaths %d\n",
                    s.widestHole, s.highestStep, s.tightestFooting == 999 ? 0 : s.tightestFooting,
                    s.hits, s.lowestItemLife == 999 ? 0 : s.lowestItemLife, s.lowestPlayerLife,
                    s.refills, s.itemsCalled, s.deaths);
    }
    std::printf("final GameMode %d StageId %d Score %d, save.dat: high score %d, EX %d, "
                "pictures %d%d%d%d%d%d\n",
                GameMode, StageId, Score, SaveData.highScore, SaveData.exStage, SaveData.picture[0],
                SaveData.picture[1], SaveData.picture[2], SaveData.picture[3], SaveData.picture[4],
                SaveData.picture[5]);
}

bool ScenarioSucceeded() {
    return ReachedGoal;
}
