// The story script as the game reads it: ten blocks (scenes) of a hundred lines of 200 bytes.
// Each line is Shift-JIS text mixed with one-byte control codes and ends with a zero byte; the
// bytes after it and every unused line are zero. Built from script.txt at build time.
#pragma once

extern const char ScriptTable[10][100][200];
