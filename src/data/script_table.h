// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The story script as the game reads it: ten blocks (scenes) of a hundred lines of 200 bytes.
// Each line is text mixed with one-byte control codes and ends with a zero byte; the bytes after
// it and every unused line are zero. Built from script.txt (and script.LANG.txt) at build time.
#pragma once

// Japanese: Shift-JIS, every text character two bytes.
extern const char ScriptTable[10][100][200];
// English: every text character one byte, stored with its top bit set (0xA0 to 0xFE) so it is
// never taken for a code; the same codes at the same places as the Japanese table.
extern const char ScriptTableEnglish[10][100][200];
