// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// tovarine-runcheck TRACE [SAVE]: the outcome of a recorded run, as plain text to compare with
// what the run is expected to give: the frame count, the final state, the path through the game
// (every change of mode, stage or story phase, with the score and the heroine at that moment) and
// the bytes of "save.dat" ("none" when the file is missing).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

// The number after "name": in a trace line, looked up from the position start.
long Field(const std::string& line, const char* name, size_t start = 0) {
    const std::string key = std::string("\"") + name + "\":";
    const size_t at = line.find(key, start);
    if (at == std::string::npos) {
        return -99999;
    }
    return std::strtol(line.c_str() + at + key.size(), nullptr, 10);
}

struct State {
    long mode, stage, phase, score, totalScore, continues, timeLeft;
    long kind, posX, posY, life, itemLife;
};

State Read(const std::string& line) {
    const size_t player = line.find("\"player\":{");
    return {Field(line, "GameMode"),           Field(line, "StageId"),
            Field(line, "StagePhase"),         Field(line, "Score"),
            Field(line, "TotalScore"),         Field(line, "Continues"),
            Field(line, "TimeLeft"),           Field(line, "kind", player),
            Field(line, "posX", player),       Field(line, "posY", player),
            Field(line, "PlayerLife", player), Field(line, "ItemLife", player)};
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: tovarine-runcheck TRACE [SAVE]\n");
        return 2;
    }
    std::ifstream trace(argv[1]);
    if (!trace) {
        std::fprintf(stderr, "tovarine-runcheck: cannot read %s\n", argv[1]);
        return 2;
    }
    std::string line;
    std::string last;
    long frames = 0;
    State before{};
    bool first = true;
    std::printf("path (frame: mode stage phase, score, time, heroine kind x y life item):\n");
    while (std::getline(trace, line)) {
        ++frames;
        const State now = Read(line);
        if (first || now.mode != before.mode || now.stage != before.stage ||
            now.phase != before.phase) {
            std::printf("  %ld: %ld %ld %ld, %ld, %ld, %ld %ld %ld %ld %ld\n", Field(line, "frame"),
                        now.mode, now.stage, now.phase, now.score, now.timeLeft, now.kind, now.posX,
                        now.posY, now.life, now.itemLife);
        }
        before = now;
        first = false;
        last = line;
    }
    const State end = Read(last);
    std::printf("frames %ld\n", frames);
    std::printf("final GameMode %ld StageId %ld Score %ld TotalScore %ld Continues %ld\n", end.mode,
                end.stage, end.score, end.totalScore, end.continues);
    std::printf("save.dat");
    std::FILE* save = argc == 3 ? std::fopen(argv[2], "rb") : nullptr;
    if (save == nullptr) {
        std::printf(" none\n");
        return 0;
    }
    int byte = 0;
    while ((byte = std::fgetc(save)) != EOF) {
        std::printf(" %02x", byte);
    }
    std::printf("\n");
    std::fclose(save);
    return 0;
}
