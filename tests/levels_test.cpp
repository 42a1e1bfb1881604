// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The level tables: exact cell counts and fixed features, and whether the levels can be played:
// holes a jump crosses, walls a jump climbs, the end of every field reachable on foot, enemies and
// traps placed where they work. Also the converter's refusals of broken level files.
#include <gtest/gtest.h>

#include "data/levels.h"
#include "support.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int Rows = 8;
constexpr int Columns = 208;
constexpr int Tutorial = 5;
constexpr int Arena = 6;
const char* const Names[] = {"stage 1", "stage 2",  "stage 3", "stage 4",
                             "stage 5", "tutorial", "arena"};

using Map = const int32_t*;

int At(Map map, int row, int column) {
    if (row < 0 || column < 0 || column >= Columns) {
        return 0; // above the map and beyond its ends is open
    }
    return map[row * Columns + column];
}
int At(int table, int row, int column) {
    return At(StageMapSource[table], row, column);
}
bool Solid(Map map, int row, int column) {
    return At(map, row, column) > 0;
}
bool Solid(int table, int row, int column) {
    return Solid(StageMapSource[table], row, column);
}
// The columns a player can walk in: the tutorial area ends at its wall.
int PlayWidth(int table) {
    return table == Tutorial ? 31 : Columns;
}

// The items' jump starts at -11 pixels a frame and slows by 0.5 a frame: it rises 126.5 pixels, so
// it climbs two rows, and is back at its height after 45 frames at 4 pixels a frame, 180 pixels;
// the bear's 40-pixel body may overhang a ledge by 38 pixels before it falls, so it crosses three
// cells.
constexpr int ClimbRows = 2;
constexpr int CrossCells = 3;

TEST(LevelTables, EveryTableHasItsCellCountsAndItsFixedCells) {
    const int values[] = {0, 1, 2, 3, 4, 5, -1, -2, -3, -4, -5, -6, -7, -8, -99};
    const int expected[7][15] = {
        {1290, 50, 213, 50, 14, 17, 3, 2, 6, 1, 2, 14, 0, 2, 0},
        {1363, 34, 174, 34, 19, 2, 2, 2, 5, 5, 2, 11, 4, 7, 0},
        {1401, 31, 117, 31, 38, 0, 2, 1, 6, 6, 0, 15, 6, 10, 0},
        {1386, 24, 126, 24, 44, 0, 2, 0, 7, 7, 0, 14, 9, 21, 0},
        {1465, 12, 32, 12, 32, 0, 3, 3, 71, 7, 4, 10, 4, 9, 0},
        {1601, 5, 28, 5, 19, 1, 2, 1, 1, 0, 0, 1, 0, 0, 0},
        {1644, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4},
    };
    for (int t = 0; t < 7; ++t) {
        for (int v = 0; v < 15; ++v) {
            const int count = static_cast<int>(
                std::count(StageMapSource[t], StageMapSource[t] + Rows * Columns, values[v]));
            EXPECT_EQ(count, expected[t][v]) << Names[t] << ", value " << values[v];
        }
    }
    // Stage 1 opens as drawn in the design: rows 3 to 7 of the first 24 columns.
    const int opening[5][24] = {
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0, 0, 0, 0},
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0},
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 2, 3, 0, 0, 0, 0, 0, 0},
        {1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 5, 1, 2},
    };
    for (int r = 3; r < Rows; ++r) {
        for (int c = 0; c < 24; ++c) {
            EXPECT_EQ(At(0, r, c), opening[r - 3][c]) << "row " << r << ", column " << c;
        }
    }
    // The arena: a floor of 16 cells and four boss positions (its counts leave nothing else).
    for (int c = 0; c < 16; ++c) {
        EXPECT_EQ(At(Arena, 7, c), 2) << "arena, column " << c;
    }
    for (const int cell :
         {2 * Columns + 13, 2 * Columns + 14, 3 * Columns + 13, 3 * Columns + 14}) {
        EXPECT_EQ(StageMapSource[Arena][cell], -99) << "arena, cell " << cell;
    }
}

TEST(LevelTables, HolesAndWallsAreNoWiderAndNoHigherThanAJump) {
    // Holes lie between ground; the four stages of the story keep them to two cells, the EX stage
    // uses the full jump. The tops of the solid stacks on neighbouring ground columns differ by
    // what a jump climbs, either way (a player who drops back must be able to climb out again).
    for (int t = 0; t < Arena; ++t) {
        const int widest = t < 4 || t == Tutorial ? 2 : CrossCells;
        int hole = 0;      // the width of the hole so far
        int previous = -1; // the top of the ground column before, -1 after a hole
        for (int c = 0; c < PlayWidth(t); ++c) {
            if (!Solid(t, 7, c)) {
                EXPECT_GT(c, 0) << Names[t] << " starts in a hole";
                ++hole;
                previous = -1;
                continue;
            }
            EXPECT_LE(hole, widest) << Names[t] << ", hole before column " << c;
            hole = 0;
            int top = 7;
            while (top > 0 && Solid(t, top - 1, c)) {
                --top;
            }
            if (previous >= 0) {
                EXPECT_LE(std::abs(top - previous), ClimbRows) << Names[t] << ", column " << c;
            }
            previous = top;
        }
        EXPECT_EQ(hole, 0) << Names[t] << " ends in a hole";
    }
}

// Where an item two cells tall can stand, walking, falling and jumping as the movement allows,
// cell by cell and on the safe side: a jump climbs two rows onto the next column or crosses a gap
// to the same height or lower, and only where the rows it passes through are open.
std::set<std::pair<int, int>> Reachable(Map t, int startColumn, int widestGap) {
    const auto clear = [t](int c, int fromRow, int toRow) {
        for (int r = fromRow; r <= toRow; ++r) {
            if (Solid(t, r, c)) {
                return false;
            }
        }
        return true;
    };
    const auto standable = [&](int c, int s) {
        return s >= 1 && s <= 7 && Solid(t, s, c) && clear(c, s - 2, s - 1);
    };
    const auto landing = [&](int c, int fromRow) {
        for (int s = fromRow; s < Rows; ++s) {
            if (Solid(t, s, c)) {
                return s;
            }
        }
        return -1; // a bottomless hole
    };
    std::set<std::pair<int, int>> seen;
    std::vector<std::pair<int, int>> open;
    const auto visit = [&](int c, int s) {
        if (s >= 0 && seen.insert({c, s}).second) { // s is -1 in a bottomless hole
            open.push_back({c, s});
        }
    };
    visit(startColumn, landing(startColumn, 0));
    while (!open.empty()) {
        const auto [c, s] = open.back();
        open.pop_back();
        for (const int d : {1, -1}) {
            const int n = c + d; // beyond the ends nothing is solid: no cell there is reached
            if (standable(n, s)) {
                visit(n, s);
            } else if (clear(n, s - 2, s)) {
                visit(n, landing(n, s + 1));
            }
            for (int up = 1; up <= ClimbRows; ++up) {
                if (standable(n, s - up) && clear(c, s - up - 2, s - 1)) {
                    visit(n, s - up);
                }
            }
            for (int gap = 1; gap <= widestGap; ++gap) {
                const int land = c + d * (gap + 1);
                const int headroom = s - 3 - std::min(gap - 1, 2);
                bool free = true;
                for (int k = 0; k <= gap; ++k) {
                    free = free && clear(c + d * k, headroom, s - 1);
                }
                const int row = landing(land, s);
                if (free && standable(land, row) && clear(land, headroom, row - 1)) {
                    visit(land, row);
                }
            }
        }
    }
    return seen;
}

// The first item falls at x 260; its body lands in column 5.
constexpr int StartColumn = 5;

// The walking model itself, on small made-up fields: it must refuse what a jump cannot do.
TEST(LevelTables, WalkingModelRefusesHighWallsWideHolesAndLowCeilings) {
    std::vector<int32_t> map(Rows * Columns, 0);
    const auto reaches = [&map](int widestGap) {
        return Reachable(map.data(), StartColumn, widestGap).count({Columns - 1, 7}) > 0;
    };
    for (int c = 0; c < Columns; ++c) {
        map[7 * Columns + c] = 2;
    }
    EXPECT_TRUE(reaches(2));
    for (int r = 5; r < 7; ++r) {
        map[r * Columns + 40] = 4; // a wall two blocks high: climbable
    }
    EXPECT_TRUE(reaches(2));
    map[4 * Columns + 40] = 4; // three blocks: not
    EXPECT_FALSE(reaches(2));
    map[4 * Columns + 40] = map[5 * Columns + 40] = map[6 * Columns + 40] = 0;
    for (int c = 60; c < 63; ++c) {
        map[7 * Columns + c] = 0; // a hole three cells wide
    }
    EXPECT_FALSE(reaches(2));
    EXPECT_TRUE(reaches(3));
    map[7 * Columns + 62] = 2;
    EXPECT_TRUE(reaches(2));
    map[4 * Columns + 60] = 4; // a ceiling right over the hole stops the jump
    EXPECT_FALSE(reaches(2));
}

TEST(LevelTables, EveryFieldEndsOnAPlainLastScreenReachableOnFoot) {
    for (int t = 0; t < Tutorial; ++t) {
        const auto seen = Reachable(StageMapSource[t], StartColumn, t < 4 ? 2 : CrossCells);
        EXPECT_TRUE(seen.count({Columns - 1, 7})) << Names[t];
        // The wipe into the arena starts on the last screen: nothing there but the ground.
        for (int c = 197; c < Columns; ++c) {
            for (int r = 0; r < 7; ++r) {
                EXPECT_EQ(At(t, r, c), 0) << Names[t] << ", row " << r << ", column " << c;
            }
            EXPECT_TRUE(At(t, 7, c) == 2 || At(t, 7, c) == 3) << Names[t] << ", column " << c;
        }
    }
}

TEST(LevelTables, TutorialAreaIsWalledOffAtColumn31) {
    for (int r = 0; r < Rows; ++r) {
        EXPECT_TRUE(Solid(Tutorial, r, 31)) << "row " << r;
    }
    int farthest = 0;
    for (const auto& [c, s] : Reachable(StageMapSource[Tutorial], StartColumn, 2)) {
        farthest = std::max(farthest, c);
        // The pogo stick hops 264 pixels and carries about four cells: near the wall the player
        // must stand no higher than row 5, or the pogo stick's body would clear the map's top.
        EXPECT_TRUE(c < 31 - 5 || s >= 5) << "a ledge at row " << s << ", column " << c;
    }
    EXPECT_EQ(farthest, 30);
}

TEST(LevelTables, TilesEnemiesAndTrapsAreWhereTheyWork) {
    for (int t = 0; t < Arena; ++t) {
        for (int r = 0; r < Rows; ++r) {
            for (int c = 0; c < Columns; ++c) {
                const int v = At(t, r, c);
                const std::string where = std::string(Names[t]) + ", row " + std::to_string(r) +
                                          ", column " + std::to_string(c);
                // A run is a left end, middles, a right end: a stray piece would be drawn broken.
                if (v == 1 || v == 2) {
                    EXPECT_TRUE(At(t, r, c + 1) == 2 || At(t, r, c + 1) == 3) << where;
                }
                if (v == 2 || v == 3) {
                    EXPECT_TRUE(At(t, r, c - 1) == 1 || At(t, r, c - 1) == 2) << where;
                }
                // No enemy starts near the player, who starts at x 180. A rat never falls: it needs
                // ground under its whole 120-pixel body. A spider sits on something.
                if (v == -6 || v == -7 || v == -8) {
                    EXPECT_GE(c, v == -8 ? 16 : 12) << where;
                }
                if (v == -6) {
                    EXPECT_TRUE(Solid(t, r + 1, c) && Solid(t, r + 1, c + 1)) << where;
                }
                if (v == -7) {
                    EXPECT_TRUE(Solid(t, r + 1, c)) << where;
                }
                if (v == -3) {
                    EXPECT_LT(r, 7) << where << " (a trap in the ground row would be a hole)";
                }
                if (v == -4) {
                    // A moving trap runs along its row until a wall, a fixed trap or a barrier.
                    for (const int d : {-1, 1}) {
                        int n = c + d;
                        while (n >= 0 && n < Columns && !Solid(t, r, n) && At(t, r, n) != -3 &&
                               At(t, r, n) != -5) {
                            n += d;
                        }
                        EXPECT_TRUE(n >= 0 && n < Columns) << where << ", direction " << d;
                    }
                }
            }
        }
    }
}

TEST(LevelTables, NoFixedTrapHangsOverAHoleOrItsEdges) {
    // A trap in the air within a jump's height, over a hole or the ground cell beside one, is in
    // the way of every jump across it: only the pogo stick's high hop would clear it.
    for (int t = 0; t < Tutorial; ++t) {
        for (int r = 7 - ClimbRows - 1; r < 7; ++r) {
            for (int c = 0; c < Columns; ++c) {
                if (At(t, r, c) != -3 || Solid(t, r + 1, c)) {
                    continue;
                }
                for (int n = c - 1; n <= c + 1; ++n) {
                    EXPECT_TRUE(n < 0 || n >= Columns || Solid(t, 7, n))
                        << Names[t] << ", trap at row " << r << ", column " << c;
                }
            }
        }
    }
    // Stage 4's pair of traps that turn the moving trap back stand over the ground either side of
    // the hole at columns 158 and 159.
    EXPECT_FALSE(Solid(3, 7, 158) || Solid(3, 7, 159));
    EXPECT_EQ(At(3, 5, 155), -3);
    EXPECT_EQ(At(3, 5, 162), -3);
}

TEST(LevelTables, NoBatWaitsAtStageThreesHoleAtColumn175) {
    // A bat over this hole dived at the item just as it jumped, and knocked it in.
    ASSERT_FALSE(Solid(2, 7, 175) || Solid(2, 7, 176));
    for (int r = 0; r < 7; ++r) {
        for (int c = 173; c <= 178; ++c) {
            EXPECT_NE(At(2, r, c), -8) << "row " << r << ", column " << c;
        }
    }
}

// The converter, run on copies of the level files with one line of one file replaced.
class LevelConverter : public ::testing::Test {
  protected:
    static std::vector<std::string> Lines(const std::string& name) {
        return test::ReadLines(std::string(LEVELS_DIR) + "/" + name);
    }
    // The 1-based line number of the first map row of a file.
    static int FirstMapRow(const std::string& name) {
        const std::vector<std::string> lines = Lines(name);
        const auto row = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
            return !line.empty() && line[0] != ';' && line[0] != ':';
        });
        return static_cast<int>(row - lines.begin()) + 1;
    }
    // Converts fresh copies of the files, the line (1-based) of the named one replaced by text.
    int Convert(std::string& errors, const std::string& name = "", int line = 0,
                const std::string& text = "") {
        std::string command = std::string("'") + LEVELS_TOOL + "' out.cpp";
        for (const char* file : Files) {
            std::vector<std::string> lines = Lines(file);
            if (file == name) {
                lines.at(line - 1) = text;
            }
            std::ofstream out(scratch.file(file), std::ios::trunc);
            for (const auto& l : lines) {
                out << l << "\n";
            }
            command += std::string(" ") + file;
        }
        const int status = test::Run(command + " 2> errors.txt", scratch.path());
        errors = test::ReadFile(scratch.file("errors.txt"));
        return status;
    }

    static constexpr const char* Files[] = {"stage1.txt", "stage2.txt", "stage3.txt",
                                            "stage4.txt", "stage5.txt", "tutorial.txt",
                                            "arena.txt"};
    test::ScratchDir scratch;
};

TEST_F(LevelConverter, RefusesBrokenFilesSayingWhyAndAcceptsTheShippedOnes) {
    const int row = FirstMapRow("stage2.txt");
    const std::string at = "stage2.txt:" + std::to_string(row) + ": ";
    std::string shortRow = Lines("stage2.txt").at(row - 1);
    std::string unknown = shortRow;
    std::string extraHeart = shortRow;
    shortRow.pop_back();
    unknown[7] = 'x';
    extraHeart[0] = 'r'; // one red heart too many
    struct Fault {
        const char* file;
        int line;
        std::string text, message;
    };
    const Fault faults[] = {
        {"stage2.txt", row, shortRow, at + "map row has 207 cells"},
        {"stage2.txt", row, unknown, at + "column 7: character 'x'"},
        {"stage2.txt", row, extraHeart, "red heart (-1): 3 cells, expected 2"},
        {"stage2.txt", row, "; gone", "found 7 map rows, expected 8"},
        {"arena.txt", FirstMapRow("arena.txt") - 1, ": q 7 no such tile",
         "'7' is not a tile value"},
    };
    std::string errors;
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.message);
        EXPECT_EQ(Convert(errors, fault.file, fault.line, fault.text), 1);
        EXPECT_NE(errors.find(fault.message), std::string::npos) << errors;
        EXPECT_FALSE(std::filesystem::exists(scratch.file("out.cpp")));
    }
    EXPECT_EQ(Convert(errors), 0) << errors;
    EXPECT_NE(test::ReadFile(scratch.file("out.cpp")).find("StageMapSource[7][8 * 208]"),
              std::string::npos);
}

} // namespace
