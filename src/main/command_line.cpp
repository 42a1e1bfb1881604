// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "main/command_line.h"

#include "game/language.h"
#include "main/settings.h"

#include <cstdio>
#include <cstring>

#ifndef TOVARINE_VERSION
#define TOVARINE_VERSION "unknown"
#endif

int StartDisplay = StartAsk;
bool SettingsGiven = false;
const char* LanguageOption = nullptr;

const char UsageText[] =
    "Usage: tovarine [OPTION]...\n"
    "A side-scrolling action game with story scenes.\n"
    "\n"
    "  -f, --fullscreen  start in full screen, without the start-up question\n"
    "  -w, --window      start in a window, without the start-up question\n"
    "      --settings FILE  read and write the settings in FILE instead of\n"
    "                    ~/.config/tovarine/settings.ini\n"
    "      --lang LANG   play in LANG: ja (Japanese) or en (English); without it the\n"
    "                    game follows the locale (LC_ALL, LC_MESSAGES, LANG)\n"
    "  -h, --help        show this help and exit\n"
    "      --version     show the version and exit\n"
    "\n"
    "Without -f or -w the game asks whether to start in full screen. While it runs,\n"
    "F1, F11 or Alt+Enter switch between window and full screen, and Escape quits.\n"
    "It reads png/ and snd/ in the folder it starts in and keeps save.dat and Log.txt\n"
    "there; the installed launcher starts it in ~/.local/share/tovarine.\n";

int ReadCommandLine(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "-h") == 0 || std::strcmp(option, "--help") == 0) {
            std::fputs(UsageText, out);
            return 0;
        }
        if (std::strcmp(option, "--version") == 0) {
            std::fputs("tovarine " TOVARINE_VERSION "\n", out);
            return 0;
        }
        if (std::strcmp(option, "-f") == 0 || std::strcmp(option, "--fullscreen") == 0) {
            StartDisplay = StartFullScreen;
        } else if (std::strcmp(option, "-w") == 0 || std::strcmp(option, "--window") == 0) {
            StartDisplay = StartWindowed;
        } else if (std::strcmp(option, "--settings") == 0 && i + 1 < argc &&
                   std::strlen(argv[i + 1]) < sizeof SettingsPath) {
            std::snprintf(SettingsPath, sizeof SettingsPath, "%s", argv[++i]);
            SettingsGiven = true;
        } else if (std::strcmp(option, "--lang") == 0 || std::strncmp(option, "--lang=", 7) == 0) {
            const char* value = option[6] == '=' ? option + 7 : i + 1 < argc ? argv[++i] : nullptr;
            // "auto" is the setting's word for the locale; on the command line a language is named.
            if (value == nullptr || std::strcmp(value, "auto") == 0 || ResolveLanguage(value) < 0) {
                std::fprintf(err, "tovarine: --lang takes ja or en, not '%s'\n",
                             value != nullptr ? value : "");
                std::fputs(UsageText, err);
                return 2;
            }
            LanguageOption = value;
        } else {
            std::fprintf(err, "tovarine: %s '%s'\n",
                         option[0] == '-' ? "unknown option" : "unexpected argument", option);
            std::fputs(UsageText, err);
            return 2;
        }
    }
    return -1;
}
