// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// RandomInt: the engine's own generator, MT19937, independent of the game's standard generator.
#include "engine.h"
#include "internal.h"

#include <random>

namespace engine {

namespace {
// The generator's published default for a run that never seeds it.
std::mt19937 Generator{4357u};
} // namespace

void SeedRandom(uint32_t seed) {
    Generator.seed(seed);
}

} // namespace engine

int RandomInt(int max) {
    ENGINE_ENTRY;
    if (max <= 0) {
        return 0;
    }
    // Scaling the 32-bit output by a 64-bit product keeps every value in 0..max equally likely
    // to within 2^-32, without the bias of a modulo.
    const uint64_t value = engine::Generator();
    return static_cast<int>((value * (static_cast<uint64_t>(max) + 1)) >> 32);
}
