// The game: reads its command line, asks the full-screen question unless told, then runs until
// Escape, the window closes or the title's exit item is chosen.
#include "game/language.h"
#include "main/command_line.h"
#include "main/language_setup.h"
#include "main/loop.h"

#include <cstdio>

int main(int argc, char** argv) {
    const int code = ReadCommandLine(argc, argv, stdout, stderr);
    if (code >= 0) {
        return code;
    }
    // No setting yet: the command line, or else the locale.
    UseLanguage(ChooseLanguage(LanguageOption, nullptr));
    return GameMain();
}
