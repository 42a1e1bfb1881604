// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "story/script.h"

ScriptPositionRecord ScriptPosition = {};
