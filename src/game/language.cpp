// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "game/language.h"

#include <cstdlib>
#include <cstring>

int32_t CurrentLanguage = LanguageJapanese;

namespace {

constexpr const char* LanguageNames[LanguageCount] = {"ja", "en"};

bool Given(const char* value) {
    return value != nullptr && value[0] != '\0';
}

} // namespace

const char* LanguageName(int language) {
    return language >= 0 && language < LanguageCount ? LanguageNames[language] : "";
}

int LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang) {
    const char* locale = Given(lcAll) ? lcAll : Given(lcMessages) ? lcMessages : lang;
    if (Given(locale) && std::strncmp(locale, "ja", 2) == 0) {
        return LanguageJapanese;
    }
    return LanguageEnglish;
}

int ResolveLanguage(const char* choice) {
    if (choice == nullptr) {
        return -1;
    }
    if (std::strcmp(choice, "auto") == 0) {
        return LanguageOfLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                std::getenv("LANG"));
    }
    for (int language = 0; language < LanguageCount; ++language) {
        if (std::strcmp(choice, LanguageNames[language]) == 0) {
            return language;
        }
    }
    return -1;
}

int ChooseLanguage(const char* commandLine, const char* setting) {
    if (commandLine != nullptr) {
        return ResolveLanguage(commandLine);
    }
    return ResolveLanguage(setting != nullptr ? setting : "auto");
}
