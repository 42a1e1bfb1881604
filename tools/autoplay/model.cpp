// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "model.h"

#include "enemy/pickups.h"
#include "stage/map.h"

#include <algorithm>

namespace {

bool Solid(double x, double y) {
    return TileAt(x, y) > 0;
}

void Rise(ModelBody& b) {
    for (double step = 0.0; b.velY < step; step -= 0.5) {
        const double left = b.x + b.box.left + 1;
        const double right = b.x + b.box.right - 1;
        const double middle = b.y + b.box.bottom / 2;
        if (Solid(left, b.y + b.box.top) || Solid(right, b.y + b.box.top) || Solid(left, middle) ||
            Solid(right, middle)) {
            b.velY = 1.0;
            return;
        }
        b.y = std::max(b.y - 0.5, -240.0);
    }
}

bool MayStep(const ModelBody& b, int dir, const ModelLimits& limits) {
    const double screenX = b.x - limits.scrollX;
    if (dir > 0) {
        return limits.locked ? screenX < 640 - b.box.right : true;
    }
    return limits.locked ? screenX > -b.box.left : b.x > -b.box.left;
}

} // namespace

void ModelStep(ModelBody& b, int dir, bool up, const ModelLimits& limits) {
    if (dir != 0) {
        for (int count = 0; count < 4; ++count) {
            const double x = b.x + (dir > 0 ? b.box.right : b.box.left);
            if (Solid(x, b.y + b.box.top) || Solid(x, b.y + b.box.bottom - 1) ||
                !MayStep(b, dir, limits)) {
                break;
            }
            b.x += dir;
        }
    }
    if (b.airborne) {
        if (b.velY < 0) {
            Rise(b);
        } else if (b.velY > 0) {
            for (double step = 0.0; step < b.velY; step += 0.5) {
                if (Solid(b.x + b.box.left + 1, b.y + b.box.bottom) ||
                    Solid(b.x + b.box.right - 1, b.y + b.box.bottom)) {
                    b.airborne = false;
                    break;
                }
                b.y += 0.5;
            }
        }
        b.velY += 0.5;
        return;
    }
    if (up) {
        b.velY = b.kind == Hopping ? -16.0 : -11.0;
        b.airborne = true;
    }
    if (!Solid(b.x + b.box.left + 1, b.y + b.box.bottom) &&
        !Solid(b.x + b.box.right - 1, b.y + b.box.bottom)) {
        b.velY = 1.0;
        b.airborne = true;
    }
}

bool ModelLost(const ModelBody& b) {
    return b.y + b.box.bottom >= 480.0;
}

void TrapForecast::Build(int frames) {
    fixed_.clear();
    moving_.assign(static_cast<size_t>(frames) + 1, {});
    std::vector<TrapSlotRecord> traps;
    for (const TrapSlotRecord& trap : TrapSlot) {
        if (trap.active == 0) {
            continue;
        }
        if (trap.kind == 2 && trap.speed > 0) {
            traps.push_back(trap);
        } else {
            fixed_.push_back({trap.x, trap.y});
        }
    }
    for (int t = 0; t <= frames; ++t) {
        for (const TrapSlotRecord& trap : traps) {
            moving_[static_cast<size_t>(t)].push_back({trap.x, trap.y});
        }
        // The shuttle rule of the game, on the copies: two pixel steps, turning at fixed traps,
        // walls, barriers and the ends of the stage.
        for (TrapSlotRecord& trap : traps) {
            for (int step = 0; step < static_cast<int>(trap.speed); ++step) {
                const double top = trap.y + 1;
                const double bottom = trap.y + 59;
                if (trap.dir < 1) {
                    double px = trap.x + 1;
                    if (TileAt(px, top) == -3 || TileAt(px, bottom) == -3 || trap.x <= 0) {
                        trap.dir = 1;
                    } else {
                        trap.x -= 1;
                    }
                    px = trap.x + 1;
                    const int a = TileAt(px, top);
                    const int b = TileAt(px, bottom);
                    if ((a >= 1 && b >= 1) || (a == -5 && b == -5)) {
                        trap.dir = 1;
                    }
                } else {
                    double px = trap.x + 59;
                    if (TileAt(px, top) == -3 || TileAt(px, bottom) == -3 || trap.x >= 12480) {
                        trap.dir = -1;
                    } else {
                        trap.x += 1;
                    }
                    px = trap.x + 59;
                    const int a = TileAt(px, top);
                    const int b = TileAt(px, bottom);
                    if ((a >= 1 && b >= 1) || (a == -5 && b == -5)) {
                        trap.dir = -1;
                    }
                }
            }
        }
    }
}

bool TrapForecast::Hurts(const ModelBody& b, int t) const {
    const double left = b.x + b.box.left;
    const double right = b.x + b.box.right;
    const double top = b.y + b.box.top;
    const double bottom = b.y + b.box.bottom;
    auto touches = [&](const Spot& s) {
        return s.x + 10 < right && left < s.x + 50 && s.y + 10 < bottom && top < s.y + 50;
    };
    for (const Spot& s : fixed_) {
        if (touches(s)) {
            return true;
        }
    }
    const size_t frame = std::min(static_cast<size_t>(std::max(t, 0)), moving_.size() - 1);
    for (const Spot& s : moving_[frame]) {
        if (touches(s)) {
            return true;
        }
    }
    const double foot = b.y + b.height;
    return TileAt(left + 10, foot) == 5 || TileAt(right - 10, foot) == 5;
}
