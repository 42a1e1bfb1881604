// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "main/settings.h"

#include "engine/engine.h"
#include "game/engine_names.h"
#include "game/pad.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SettingsRecord Settings = {};
char SettingsPath[512] = "";

namespace {

struct KeyNameRecord {
    const char* name;
    int scanCode;
};

// The keys a player may choose: letters, digits 6 to 0 (1 to 5 pick items), the cursor keys and
// a few others. Escape, F1, F11 and F5 to F9 keep their own meanings.
constexpr KeyNameRecord KeyNames[] = {
    {"up", 0xC8},     {"down", 0xD0},   {"left", 0xCB}, {"right", 0xCD},     {"a", 0x1E},
    {"b", 0x30},      {"c", 0x2E},      {"d", 0x20},    {"e", 0x12},         {"f", 0x21},
    {"g", 0x22},      {"h", 0x23},      {"i", 0x17},    {"j", 0x24},         {"k", 0x25},
    {"l", 0x26},      {"m", 0x32},      {"n", 0x31},    {"o", 0x18},         {"p", 0x19},
    {"q", 0x10},      {"r", 0x13},      {"s", 0x1F},    {"t", 0x14},         {"u", 0x16},
    {"v", 0x2F},      {"w", 0x11},      {"x", 0x2D},    {"y", 0x15},         {"z", 0x2C},
    {"6", 0x07},      {"7", 0x08},      {"8", 0x09},    {"9", 0x0A},         {"0", 0x0B},
    {"space", 0x39},  {"return", 0x1C}, {"tab", 0x0F},  {"backspace", 0x0E}, {"lshift", 0x2A},
    {"rshift", 0x36}, {"lctrl", 0x1D},  {"lalt", 0x38}, {"ralt", 0xB8},      {"f2", 0x3C},
    {"f3", 0x3D},     {"f4", 0x3E},     {"f10", 0x44},  {"f12", 0x58},
};
constexpr int KeyNameCount = static_cast<int>(sizeof KeyNames / sizeof KeyNames[0]);

constexpr const char* ActionNames[ActionCount] = {"up",      "down",    "left", "right", "attack",
                                                  "special", "possess", "call", "pause"};
constexpr int32_t DefaultKeys[ActionCount] = {0xC8, 0xD0, 0xCB, 0xCD, 0x2C, 0x2D, 0x2E, 0x1E, 0x19};
// Pad buttons: 1 to 4 the face buttons, 8 Start (7 Back opens the menu too, 5 and 6 the
// shoulders pick the next item).
constexpr int32_t DefaultPadButtons[ActionCount] = {0, 0, 0, 0, 1, 2, 3, 4, 8};
constexpr int32_t ActionBits[ActionCount] = {
    PadUp, PadDown, PadLeft, PadRight, PadButton1, PadButton2, PadButton3, PadButton4, 0x0800};

// Problems met while reading, logged once the log is open.
constexpr int MaxProblems = 16;
char Problems[MaxProblems][160];
int ProblemCount = 0;
int ProblemsDropped = 0;

void Note(int line, const char* format, const char* a, const char* b = "") {
    if (ProblemCount >= MaxProblems) {
        ++ProblemsDropped;
        return;
    }
    char text[120];
    std::snprintf(text, sizeof text, format, a, b);
    std::snprintf(Problems[ProblemCount++], sizeof Problems[0], "settings: line %d: %s", line,
                  text);
}

int KeyCodeOf(const char* name) {
    for (const KeyNameRecord& key : KeyNames) {
        if (std::strcmp(name, key.name) == 0) {
            return key.scanCode;
        }
    }
    return -1;
}

bool ReadNumber(const char* text, int min, int max, int32_t* out) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || value < min || value > max) {
        return false;
    }
    *out = static_cast<int32_t>(value);
    return true;
}

bool ReadChoice(const char* text, const char* const* names, int count, int32_t* out) {
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(text, names[i]) == 0) {
            *out = i;
            return true;
        }
    }
    return false;
}

constexpr const char* ScreenNames[] = {"ask", "window", "fullscreen"};
constexpr const char* ScalingNames[] = {"sharp", "smooth"};
constexpr const char* LanguageNames[] = {"auto", "ja", "en"};
constexpr const char* EscapeNames[] = {"quit", "pause"};

// One "name = value" line; false when the name is unknown or the value unusable.
bool Apply(const char* name, const char* value, bool* known) {
    *known = true;
    SettingsRecord& s = Settings;
    if (std::strcmp(name, "screen") == 0) {
        return ReadChoice(value, ScreenNames, 3, &s.screen);
    }
    if (std::strcmp(name, "scaling") == 0) {
        return ReadChoice(value, ScalingNames, 2, &s.smooth);
    }
    if (std::strcmp(name, "music_volume") == 0) {
        return ReadNumber(value, 0, 100, &s.musicVolume);
    }
    if (std::strcmp(name, "effects_volume") == 0) {
        return ReadNumber(value, 0, 100, &s.effectsVolume);
    }
    if (std::strcmp(name, "language") == 0) {
        return ReadChoice(value, LanguageNames, 3, &s.language);
    }
    if (std::strcmp(name, "escape") == 0) {
        return ReadChoice(value, EscapeNames, 2, &s.escapePauses);
    }
    for (int a = 0; a < ActionCount; ++a) {
        char keyName[32];
        char padName[32];
        std::snprintf(keyName, sizeof keyName, "key_%s", ActionNames[a]);
        std::snprintf(padName, sizeof padName, "pad_%s", ActionNames[a]);
        if (std::strcmp(name, keyName) == 0) {
            const int code = KeyCodeOf(value);
            s.key[a] = code >= 0 ? code : s.key[a];
            return code >= 0;
        }
        if (DefaultPadButtons[a] != 0 && std::strcmp(name, padName) == 0) {
            return ReadNumber(value, 1, 24, &s.padButton[a]);
        }
    }
    *known = false;
    return false;
}

// Two actions on one key or one button cannot both work: the controls go back to the defaults.
void CheckControls() {
    for (int a = 0; a < ActionCount; ++a) {
        for (int b = a + 1; b < ActionCount; ++b) {
            const bool sameKey = Settings.key[a] == Settings.key[b];
            const bool sameButton =
                Settings.padButton[a] != 0 && Settings.padButton[a] == Settings.padButton[b];
            if (sameKey || sameButton) {
                Note(0, "%s and %s share a key or button; the controls are the defaults",
                     ActionNames[a], ActionNames[b]);
                std::memcpy(Settings.key, DefaultKeys, sizeof DefaultKeys);
                std::memcpy(Settings.padButton, DefaultPadButtons, sizeof DefaultPadButtons);
                return;
            }
        }
    }
}

char* Trim(char* text) {
    while (*text == ' ' || *text == '\t') {
        ++text;
    }
    char* end = text + std::strlen(text);
    while (end > text &&
           (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r' || end[-1] == '\n')) {
        *--end = '\0';
    }
    return text;
}

} // namespace

int ChoosableKey(int index) {
    return index >= 0 && index < KeyNameCount ? KeyNames[index].scanCode : -1;
}

void ResetSettings() {
    Settings = SettingsRecord{};
    Settings.musicVolume = 100;
    Settings.effectsVolume = 100;
    std::memcpy(Settings.key, DefaultKeys, sizeof DefaultKeys);
    std::memcpy(Settings.padButton, DefaultPadButtons, sizeof DefaultPadButtons);
}

bool FindSettingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (config != nullptr && config[0] == '/') {
        std::snprintf(SettingsPath, sizeof SettingsPath, "%s/tovarine/settings.ini", config);
    } else if (home != nullptr && home[0] == '/') {
        std::snprintf(SettingsPath, sizeof SettingsPath, "%s/.config/tovarine/settings.ini", home);
    } else {
        SettingsPath[0] = '\0';
    }
    return SettingsPath[0] != '\0';
}

void ReadSettings() {
    ResetSettings();
    ProblemCount = 0;
    ProblemsDropped = 0;
    if (SettingsPath[0] == '\0') {
        return;
    }
    // A regular file of a sensible size, opened without blocking: never a hang, never gigabytes.
    const int fd = open(SettingsPath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            Note(0, "cannot be read (%s); the defaults are used", std::strerror(errno));
        }
        return;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > 65536) {
        Note(0, "%s; the defaults are used", "not a regular file of at most 64 KiB");
        close(fd);
        return;
    }
    static char text[65537];
    size_t have = 0;
    for (ssize_t got = 1; got > 0 && have < sizeof text - 1;) {
        got = read(fd, text + have, sizeof text - 1 - have);
        have += got > 0 ? static_cast<size_t>(got) : 0;
    }
    close(fd);
    text[have] = '\0';
    int number = 0;
    for (char* line = text; line != nullptr;) {
        char* next = std::strchr(line, '\n');
        if (next != nullptr) {
            *next++ = '\0';
        }
        ++number;
        char* hash = std::strchr(line, '#');
        if (hash != nullptr) {
            *hash = '\0';
        }
        char* content = Trim(line);
        line = next;
        if (*content == '\0') {
            continue;
        }
        char* equals = std::strchr(content, '=');
        if (equals == nullptr) {
            Note(number, "\"%.60s\" is not \"name = value\"; ignored", content);
            continue;
        }
        *equals = '\0';
        const char* name = Trim(content);
        const char* value = Trim(equals + 1);
        bool known = false;
        if (!Apply(name, value, &known)) {
            if (known) {
                Note(number, "\"%.40s\" is no value for %.40s; the default is kept", value, name);
            } else {
                Note(number, "unknown setting \"%.60s\"; ignored", name);
            }
        }
    }
    CheckControls();
}

void LogSettingsProblems() {
    if (ProblemCount > 0) {
        char line[600];
        std::snprintf(line, sizeof line, "settings: problems in %s", SettingsPath);
        LogMessage(line);
    }
    for (int i = 0; i < ProblemCount; ++i) {
        LogMessage(Problems[i]);
    }
    if (ProblemsDropped > 0) {
        char line[80];
        std::snprintf(line, sizeof line, "settings: %d more problems", ProblemsDropped);
        LogMessage(line);
    }
}

bool WriteSettings() {
    if (SettingsPath[0] == '\0') {
        return false;
    }
    // The folders on the way are made as needed, private to the player.
    char folder[sizeof SettingsPath];
    std::snprintf(folder, sizeof folder, "%s", SettingsPath);
    for (char* slash = std::strchr(folder + 1, '/'); slash != nullptr;
         slash = std::strchr(slash + 1, '/')) {
        *slash = '\0';
        mkdir(folder, 0700);
        *slash = '/';
    }
    char temp[sizeof SettingsPath + 8];
    std::snprintf(temp, sizeof temp, "%s.XXXXXX", SettingsPath);
    const int fd = mkostemp(temp, O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    fchmod(fd, 0644);
    static char text[8192];
    const SettingsRecord& s = Settings;
    int n = std::snprintf(
        text, sizeof text,
        "# Tovarine's settings, written by the game's pause menu (P, or Start on a pad).\n"
        "# Lines are \"name = value\"; \"#\" begins a comment. A missing line keeps the default;\n"
        "# a line the game cannot use is reported in Log.txt and keeps its default.\n\n"
        "# The screen at start: ask (the start-up question), window or fullscreen.\n"
        "screen = %s\n"
        "# How the 640 x 480 picture is enlarged: sharp (whole multiples, then smoothed to fit)\n"
        "# or smooth.\n"
        "scaling = %s\n"
        "# Volumes from 0 to 100, on top of the game's own.\n"
        "music_volume = %d\n"
        "effects_volume = %d\n"
        "# The language of the game: auto (from the system's locale), ja or en.\n"
        "language = %s\n"
        "# Escape: quit (at once) or pause (opens the pause menu).\n"
        "escape = %s\n\n"
        "# Keys: a to z, 6 to 0, up, down, left, right, space, return, tab, backspace, lshift,\n"
        "# rshift, lctrl, lalt, ralt, f2, f3, f4, f10, f12. The numeric pad always moves too.\n",
        ScreenNames[s.screen], ScalingNames[s.smooth], s.musicVolume, s.effectsVolume,
        LanguageNames[s.language], EscapeNames[s.escapePauses]);
    for (int a = 0; a < ActionCount; ++a) {
        n += std::snprintf(text + n, sizeof text - static_cast<size_t>(n), "key_%s = %s\n",
                           ActionNames[a], KeyName(s.key[a]));
    }
    n += std::snprintf(text + n, sizeof text - static_cast<size_t>(n),
                       "\n# Pad buttons from 1 to 24: 1 to 4 the face buttons (bottom, right, "
                       "left, top),\n# 5 and 6 the shoulders, 7 Back, 8 Start.\n");
    for (int a = 0; a < ActionCount; ++a) {
        if (s.padButton[a] != 0) {
            n += std::snprintf(text + n, sizeof text - static_cast<size_t>(n), "pad_%s = %d\n",
                               ActionNames[a], s.padButton[a]);
        }
    }
    const bool written = write(fd, text, static_cast<size_t>(n)) == n && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || std::rename(temp, SettingsPath) != 0) {
        unlink(temp);
        char line[600];
        std::snprintf(line, sizeof line, "settings: %s could not be written: %s", SettingsPath,
                      std::strerror(errno));
        LogMessage(line);
        return false;
    }
    return true;
}

void ApplySettings() {
    SetVolumeScale(Settings.musicVolume, Settings.effectsVolume);
    SetScalingMode(Settings.smooth);
    ResetInputMapping();
    for (int a = 0; a < ActionCount; ++a) {
        if (a != ActionPause) {
            SetKeyOfPadBit(ActionBits[a], Settings.key[a]);
        }
        if (Settings.padButton[a] != 0) {
            SetPadButtonOfPadBit(ActionBits[a], Settings.padButton[a]);
        }
    }
}

const char* KeyName(int scanCode) {
    for (int i = 0; i < KeyNameCount; ++i) {
        if (KeyNames[i].scanCode == scanCode) {
            return KeyNames[i].name;
        }
    }
    return nullptr;
}

void AssignKey(int action, int scanCode) {
    for (int a = 0; a < ActionCount; ++a) {
        if (a != action && Settings.key[a] == scanCode) {
            Settings.key[a] = Settings.key[action];
        }
    }
    Settings.key[action] = scanCode;
}

void AssignPadButton(int action, int button) {
    if (Settings.padButton[action] == 0) {
        return;
    }
    for (int a = 0; a < ActionCount; ++a) {
        if (a != action && Settings.padButton[a] == button) {
            Settings.padButton[a] = Settings.padButton[action];
        }
    }
    Settings.padButton[action] = button;
}

int32_t ActionPadBit(int action) {
    return action >= 0 && action < ActionCount ? ActionBits[action] : 0;
}

const char* LanguageSettingName(int setting) {
    return setting >= 0 && setting < 3 ? LanguageNames[setting] : "auto";
}
