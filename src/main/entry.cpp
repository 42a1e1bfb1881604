// The game: reads its command line, asks the full-screen question unless told, then runs until
// Escape, the window closes or the title's exit item is chosen.
#include "main/command_line.h"
#include "main/loop.h"
#include "main/settings.h"

#include <cstdio>

int main(int argc, char** argv) {
    const int code = ReadCommandLine(argc, argv, stdout, stderr);
    if (code >= 0) {
        return code;
    }
    if (!SettingsGiven) {
        FindSettingsPath();
    }
    return GameMain();
}
