// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Turns a UTF-8 text table into a header of Shift-JIS (code page 932) string constants, so the
// game's texts are written readably and reach the engine in the encoding it draws.
//
// Input lines:  Name = text      ("#" starts a comment line; "\n" is not special)
// Output:       inline constexpr char Name[] = "\x8a\x4a...";  // text
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <iostream>
#include <sstream>
#include <string>

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

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: sjistext input.txt output.h\n";
        return 2;
    }
    std::ifstream input(argv[1]);
    if (!input) {
        std::cerr << argv[1] << ": cannot open\n";
        return 1;
    }
    std::ostringstream out;
    out << "// Generated from " << argv[1] << " by sjistext. Do not edit.\n#pragma once\n\n";
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
            std::cerr << argv[1] << ":" << number << ": expected Name = text\n";
            return 1;
        }
        const std::string name = Trim(trimmed.substr(0, eq));
        const std::string text = Trim(trimmed.substr(eq + 1));
        std::string sjis;
        if (!ToSjis(text, sjis)) {
            std::cerr << argv[1] << ":" << number << ": not representable in Shift-JIS\n";
            return 1;
        }
        out << "inline constexpr char " << name << "[] = \"";
        for (unsigned char c : sjis) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out << hex;
        }
        out << "\";  // " << text << "\n";
    }
    // Only rewrite when something changed, so dependants are not rebuilt needlessly.
    std::ifstream old(argv[2]);
    std::stringstream previous;
    previous << old.rdbuf();
    if (previous.str() != out.str()) {
        std::ofstream output(argv[2]);
        output << out.str();
        if (!output) {
            std::cerr << argv[2] << ": cannot write\n";
            return 1;
        }
    }
    return 0;
}
