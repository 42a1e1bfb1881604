// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The story script: ten blocks of a hundred 200-byte lines, read with one position.
#pragma once

#include <cstdint>

struct ScriptPositionRecord {
    int32_t block;
    int32_t line;
    int32_t offset;
};

extern ScriptPositionRecord ScriptPosition;
