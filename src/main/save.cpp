// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "main/save.h"

#include "engine/engine.h"
#include "game/run.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SaveDataRecord SaveData = {};
int32_t SaveNoticeFrames = 0;

namespace {

constexpr int SaveBytes = 36;
constexpr const char* SaveFile = "save.dat";
constexpr int NoticeFrames = 6 * 60;

int32_t* Field(int index) {
    static int32_t* const fields[9] = {
        &SaveData.saved,      &SaveData.picture[0], &SaveData.picture[1],
        &SaveData.picture[2], &SaveData.picture[3], &SaveData.picture[4],
        &SaveData.picture[5], &SaveData.exStage,    &SaveData.highScore,
    };
    return fields[index];
}

// The file is the same on every machine: each field as four bytes, lowest first.
void Encode(unsigned char bytes[SaveBytes]) {
    for (int i = 0; i < 9; ++i) {
        const uint32_t value = static_cast<uint32_t>(*Field(i));
        for (int b = 0; b < 4; ++b) {
            bytes[4 * i + b] = static_cast<unsigned char>(value >> (8 * b));
        }
    }
}

void Decode(const unsigned char bytes[SaveBytes]) {
    for (int i = 0; i < 9; ++i) {
        uint32_t value = 0;
        for (int b = 0; b < 4; ++b) {
            value |= static_cast<uint32_t>(bytes[4 * i + b]) << (8 * b);
        }
        *Field(i) = static_cast<int32_t>(value);
    }
}

bool WriteAll(int fd, const unsigned char* bytes, int count) {
    while (count > 0) {
        const ssize_t written = write(fd, bytes, static_cast<size_t>(count));
        if (written <= 0) {
            return false;
        }
        bytes += written;
        count -= static_cast<int>(written);
    }
    return true;
}

// The reason goes to Log.txt and a notice to the screen: a player must not believe that progress
// was kept when it was not.
void SaveFailed(const char* step) {
    char line[256];
    std::snprintf(line, sizeof line, "save.dat could not be saved: %s: %s", step,
                  std::strerror(errno));
    LogMessage(line);
    SaveNoticeFrames = NoticeFrames;
}

} // namespace

void ReadSaveData() {
    // Not blocking: a pipe or device planted as "save.dat" must not hang the loading screen.
    const int fd = open(SaveFile, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        LogMessage("save.dat is not a regular file: ignored");
        close(fd);
        return;
    }
    unsigned char bytes[SaveBytes];
    Encode(bytes);
    int have = 0;
    while (have < SaveBytes) {
        const ssize_t got = read(fd, bytes + have, static_cast<size_t>(SaveBytes - have));
        if (got <= 0) {
            break;
        }
        have += static_cast<int>(got);
    }
    close(fd);
    Decode(bytes);
}

void WriteSaveData() {
    // AMENDED: the new contents go to a file of their own, reach the disk, and only then replace
    // the old file, so a crash or a full disk mid-save never loses what was saved before.
    // (Truncating "save.dat" in place could leave it empty.) The file is new, under a name no one
    // could guess: a link planted under a fixed name would have been followed to another file.
    char temp[] = "save.dat.XXXXXX";
    const int fd = mkostemp(temp, O_CLOEXEC);
    if (fd < 0) {
        SaveFailed("cannot create a file in the game's folder");
        return; // no save, no unlock
    }
    fchmod(fd, 0644);
    // AMENDED: kept to be put back if the save fails later on: what is not on disk is not unlocked.
    const SaveDataRecord before = SaveData;
    SaveData.saved = 1;
    if (TotalHearts >= 14) {
        SaveData.exStage = 1;
    }
    SaveData.picture[0] = 1;
    SaveData.picture[1] = 1;
    if (TotalScore > 50000) {
        SaveData.picture[2] = 1;
    }
    if (TotalHearts >= 14) {
        SaveData.picture[3] = 1;
    }
    if (StageId == StageExArena) {
        SaveData.picture[4] = 1;
    }
    if (SaveData.picture[2] == 1 && SaveData.picture[3] == 1 && SaveData.picture[4] == 1) {
        SaveData.picture[5] = 1;
    }
    if (SaveData.highScore < TotalScore) {
        SaveData.highScore = TotalScore;
    }
    unsigned char bytes[SaveBytes];
    Encode(bytes);
    const bool written = WriteAll(fd, bytes, SaveBytes) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || std::rename(temp, SaveFile) != 0) {
        SaveFailed(!written ? "cannot write" : !closed ? "cannot close" : "cannot replace it");
        unlink(temp);
        SaveData = before;
        return;
    }
    // Make the rename itself durable.
    const int dir = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
}
