// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Turns the seven readable level files (stages 1 to 5, the tutorial area, the boss arena) into the
// C++ table StageMapSource that the game copies its stage map from.
//
// usage: levels output.cpp stage1.txt stage2.txt stage3.txt stage4.txt stage5.txt tutorial.txt
//        arena.txt
//
// A level file holds, line by line:
//   ; text          a comment
//   : c value text  a legend entry: the character c stands for the tile value (text says what)
//   anything else   one map row of exactly 208 characters, all defined by the legend above it
// Blank lines are ignored; there are exactly 8 map rows, row 0 (the top) first. Every legend entry
// comes before the first map row. The number of cells of each tile value is fixed per table: the
// object tables and the drawing code are sized by it, so a file that differs is refused.
//
// Errors are reported as file:line: message, and the tool exits with 1 without writing anything.
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int Rows = 8;
constexpr int Columns = 208;
constexpr int Tables = 7;

// The tile values a table may hold, with the name used in messages.
struct TileValue {
    int value;
    const char* name;
};
constexpr std::array<TileValue, 15> Values = {{{0, "air"},
                                               {1, "ground left end"},
                                               {2, "ground middle"},
                                               {3, "ground right end"},
                                               {4, "block"},
                                               {5, "damaging floor"},
                                               {-1, "red heart"},
                                               {-2, "blue heart"},
                                               {-3, "fixed trap"},
                                               {-4, "moving trap"},
                                               {-5, "barrier"},
                                               {-6, "rat"},
                                               {-7, "spider"},
                                               {-8, "chaser"},
                                               {-99, "boss marker"}}};

// Cells per value, in the order of Values, for each table in command-line order.
constexpr int ExpectedCounts[Tables][Values.size()] = {
    {1290, 50, 213, 50, 14, 17, 3, 2, 6, 1, 2, 14, 0, 2, 0}, // stage 1
    {1363, 34, 174, 34, 19, 2, 2, 2, 5, 5, 2, 11, 4, 7, 0},  // stage 2
    {1401, 31, 117, 31, 38, 0, 2, 1, 6, 6, 0, 15, 6, 10, 0}, // stage 3
    {1386, 24, 126, 24, 44, 0, 2, 0, 7, 7, 0, 14, 9, 21, 0}, // stage 4
    {1465, 12, 32, 12, 32, 0, 3, 3, 71, 7, 4, 10, 4, 9, 0},  // stage 5, the EX stage
    {1601, 5, 28, 5, 19, 1, 2, 1, 1, 0, 0, 1, 0, 0, 0},      // the tutorial area
    {1644, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4},       // the boss arena
};

int ValueIndex(int value) {
    for (size_t i = 0; i < Values.size(); ++i) {
        if (Values[i].value == value) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

class Errors {
  public:
    void Add(const std::string& file, int line, const std::string& message) {
        std::cerr << file << ":" << line << ": " << message << "\n";
        ++count_;
    }
    int Count() const {
        return count_;
    }

  private:
    int count_ = 0;
};

bool ParseInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

// Reads one level file into cells (row-major). Returns false (after reporting) on any fault.
bool ReadLevel(const std::string& path, int table, std::vector<int32_t>& cells, Errors& errors) {
    const int before = errors.Count();
    std::ifstream input(path);
    if (!input) {
        errors.Add(path, 0, "cannot open");
        return false;
    }
    std::map<char, int> legend;
    std::string line;
    int number = 0;
    int rows = 0;
    int firstRowLine = 0;
    while (std::getline(input, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") == std::string::npos || line[0] == ';') {
            continue;
        }
        if (line[0] == ':') {
            std::istringstream fields(line.substr(1));
            std::string symbol, valueText;
            fields >> symbol >> valueText;
            int value = 0;
            if (rows > 0) {
                errors.Add(path, number, "legend entry after the map rows");
            } else if (symbol.size() != 1) {
                errors.Add(path, number, "legend entry needs one character, then its value");
            } else if (!ParseInt(valueText, value) || ValueIndex(value) < 0) {
                errors.Add(path, number, "'" + valueText + "' is not a tile value");
            } else if (!legend.emplace(symbol[0], value).second) {
                errors.Add(path, number, "character '" + symbol + "' is defined twice");
            }
            continue;
        }
        if (rows == 0) {
            firstRowLine = number;
        }
        if (rows == Rows) {
            errors.Add(path, number, "more than 8 map rows");
            break;
        }
        if (line.size() != Columns) {
            errors.Add(path, number,
                       "map row has " + std::to_string(line.size()) + " cells, expected 208");
        } else {
            for (int c = 0; c < Columns; ++c) {
                const auto found = legend.find(line[c]);
                if (found == legend.end()) {
                    errors.Add(path, number,
                               "column " + std::to_string(c) + ": character '" +
                                   std::string(1, line[c]) + "' is not in the legend");
                    break;
                }
                cells[rows * Columns + c] = found->second;
            }
        }
        ++rows;
    }
    if (rows < Rows) {
        errors.Add(path, number, "found " + std::to_string(rows) + " map rows, expected 8");
    }
    if (errors.Count() != before) {
        return false;
    }
    int counts[Values.size()] = {};
    for (const int32_t cell : cells) {
        ++counts[ValueIndex(cell)];
    }
    for (size_t i = 0; i < Values.size(); ++i) {
        if (counts[i] != ExpectedCounts[table][i]) {
            errors.Add(path, firstRowLine,
                       std::string(Values[i].name) + " (" + std::to_string(Values[i].value) +
                           "): " + std::to_string(counts[i]) + " cells, expected " +
                           std::to_string(ExpectedCounts[table][i]));
        }
    }
    return errors.Count() == before;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 + Tables) {
        std::cerr << "usage: levels output.cpp stage1.txt stage2.txt stage3.txt stage4.txt "
                     "stage5.txt tutorial.txt arena.txt\n";
        return 2;
    }
    Errors errors;
    std::vector<std::vector<int32_t>> tables(Tables, std::vector<int32_t>(Rows * Columns, 0));
    for (int t = 0; t < Tables; ++t) {
        ReadLevel(argv[2 + t], t, tables[t], errors);
    }
    if (errors.Count() > 0) {
        return 1;
    }

    std::ostringstream out;
    out << "// Generated by the levels tool from the level files in src/data/levels. Do not "
           "edit.\n#include \"data/levels.h\"\n\n"
        << "const int32_t StageMapSource[7][8 * 208] = {\n";
    for (int t = 0; t < Tables; ++t) {
        const std::string path = argv[2 + t];
        out << "    // " << path.substr(path.find_last_of('/') + 1) << "\n    {\n";
        for (int r = 0; r < Rows; ++r) {
            out << "        ";
            for (int c = 0; c < Columns; ++c) {
                out << tables[t][r * Columns + c] << ",";
            }
            out << "\n";
        }
        out << "    },\n";
    }
    out << "};\n";

    std::ofstream output(argv[1], std::ios::binary | std::ios::trunc);
    output << out.str();
    output.close();
    if (!output) {
        std::cerr << argv[1] << ":0: cannot write\n";
        return 1;
    }
    return 0;
}
