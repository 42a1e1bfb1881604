// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Turns the game's text tables, one UTF-8 file per language, into a header of Shift-JIS (code
// page 932) texts, so the texts are written readably and reach the engine in the encoding it
// draws. The first file is the reference: every other language must have the same names in the
// same order, with the same printf conversions.
//
// Usage:        sjistext output.h ja=texts.txt en=texts.en.txt ...
// Input lines:  Name = text      ("#" starts a comment line; "\n" is not special; a text in
//                                 double quotes keeps its outer spaces)
// Output:       inline constexpr GameText Name = {{"\x8a\x4a...", "Start"}};
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

bool ToSjis(const std::string& utf8, std::string& out) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    std::string buffer(utf8.size() * 2 + 8, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* dst = buffer.data();
    size_t dstLeft = buffer.size();
    const bool ok = iconv(cd, &in, &inLeft, &dst, &dstLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    out.assign(buffer.data(), dst);
    return ok;
}

std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r");
    const size_t last = s.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

// One language's file: its name ("ja") and its texts in the order written.
struct TextFile {
    std::string language;
    std::string path;
    std::vector<std::pair<std::string, std::string>> texts; // name, UTF-8 text
};

// Reads "Name = text" lines; a text in double quotes keeps its outer spaces.
bool ReadTexts(TextFile& file) {
    std::ifstream input(file.path);
    if (!input) {
        std::cerr << file.path << ": cannot open\n";
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(input, line)) {
        ++number;
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') {
            continue;
        }
        const size_t eq = trimmed.find('=');
        if (eq == std::string::npos) {
            std::cerr << file.path << ":" << number << ": expected Name = text\n";
            return false;
        }
        std::string text = Trim(trimmed.substr(eq + 1));
        if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
            text = text.substr(1, text.size() - 2);
        }
        file.texts.emplace_back(Trim(trimmed.substr(0, eq)), text);
    }
    return true;
}

// The printf conversions of a text ("%d", "%s"), in order: a translation must keep them, since
// the game passes the same arguments whatever the language.
std::string Conversions(const std::string& text) {
    std::string found;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            continue;
        }
        size_t j = i + 1;
        while (j < text.size() && std::strchr("0123456789.-+ #l", text[j]) != nullptr) {
            ++j;
        }
        if (j < text.size()) {
            found += text.substr(i, j - i + 1);
        }
        i = j;
    }
    return found;
}

std::string Hex(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        out += hex;
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: sjistext output.h LANGUAGE=texts.txt...\n";
        return 2;
    }
    std::vector<TextFile> files;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const size_t eq = arg.find('=');
        if (eq == std::string::npos || eq == 0) {
            std::cerr << "sjistext: expected LANGUAGE=file, not " << arg << "\n";
            return 2;
        }
        files.push_back({arg.substr(0, eq), arg.substr(eq + 1), {}});
        if (!ReadTexts(files.back())) {
            return 1;
        }
    }
    const TextFile& reference = files.front();
    int errors = 0;
    // Every language has every text of the first one, and nothing else.
    for (size_t f = 1; f < files.size(); ++f) {
        const TextFile& file = files[f];
        if (file.texts.size() != reference.texts.size()) {
            std::cerr << file.path << ": has " << file.texts.size() << " texts; " << reference.path
                      << " has " << reference.texts.size() << "\n";
            ++errors;
            continue;
        }
        for (size_t t = 0; t < file.texts.size(); ++t) {
            if (file.texts[t].first != reference.texts[t].first) {
                std::cerr << file.path << ": text " << t + 1 << " is " << file.texts[t].first
                          << "; it must be " << reference.texts[t].first
                          << " (same names, same order)\n";
                ++errors;
            } else if (Conversions(file.texts[t].second) !=
                       Conversions(reference.texts[t].second)) {
                std::cerr << file.path << ": " << file.texts[t].first
                          << " must keep the conversions \""
                          << Conversions(reference.texts[t].second) << "\"\n";
                ++errors;
            }
        }
    }
    if (errors > 0) {
        return 1;
    }
    std::ostringstream out;
    out << "// Generated by sjistext from";
    for (const TextFile& file : files) {
        out << " " << file.path;
    }
    out << ". Do not edit.\n#pragma once\n\n"
        << "// Languages, in this order:";
    for (const TextFile& file : files) {
        out << " " << file.language;
    }
    out << "\ninline constexpr int TextLanguageCount = " << files.size() << ";\n"
        << "// The language every text below is read in; set by SelectTextLanguage.\n"
        << "inline int TextLanguage = 0;\n\n"
        << "// One text in every language; it reads as the Shift-JIS bytes of the current one.\n"
        << "struct GameText {\n"
        << "    const char* byLanguage[TextLanguageCount];\n"
        << "    operator const char*() const {\n"
        << "        return byLanguage[TextLanguage];\n"
        << "    }\n"
        << "};\n\n"
        << "inline void SelectTextLanguage(int language) {\n"
        << "    TextLanguage = language >= 0 && language < TextLanguageCount ? language : 0;\n"
        << "}\n\n";
    for (size_t t = 0; t < reference.texts.size(); ++t) {
        out << "inline constexpr GameText " << reference.texts[t].first << " = {{\n";
        for (const TextFile& file : files) {
            std::string sjis;
            if (!ToSjis(file.texts[t].second, sjis)) {
                std::cerr << file.path << ": " << file.texts[t].first
                          << " is not representable in Shift-JIS\n";
                return 1;
            }
            out << "    \"" << Hex(sjis) << "\", // " << file.texts[t].second << "\n";
        }
        out << "}};\n";
    }
    // Only rewrite when something changed, so dependants are not rebuilt needlessly.
    std::ifstream old(argv[1]);
    std::stringstream previous;
    previous << old.rdbuf();
    if (previous.str() != out.str()) {
        std::ofstream output(argv[1]);
        output << out.str();
        if (!output) {
            std::cerr << argv[1] << ": cannot write\n";
            return 1;
        }
    }
    return 0;
}
