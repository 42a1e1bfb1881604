#include "main/save.h"

#include "game/run.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

SaveDataRecord SaveData = {};

namespace {

constexpr int SaveBytes = 36;
constexpr const char* SaveFile = "save.dat";
constexpr const char* TempFile = "save.dat.new";

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

} // namespace

void ReadSaveData() {
    std::FILE* file = std::fopen(SaveFile, "rb");
    if (file == nullptr) {
        return;
    }
    unsigned char bytes[SaveBytes];
    Encode(bytes);
    std::fread(bytes, 1, SaveBytes, file);
    std::fclose(file);
    Decode(bytes);
}

void WriteSaveData() {
    // AMENDED: the new contents go to a file of their own, reach the disk, and only then replace
    // the old file, so a crash or a full disk mid-save never loses what was saved before.
    // (Truncating "save.dat" in place could leave it empty.)
    const int fd = open(TempFile, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return; // as with a file that cannot be opened: no save, no unlock
    }
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
    if (!written || !closed || std::rename(TempFile, SaveFile) != 0) {
        std::remove(TempFile);
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
