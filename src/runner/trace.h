// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// One JSON object per frame for the headless runner's trace: the state a test or a debugging
// session wants to follow from frame to frame.
#pragma once

#include <cstdio>

void WriteTraceLine(std::FILE* out, int frame);
