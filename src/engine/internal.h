// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// State shared by the engine's own files. Nothing outside src/engine includes this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <vector>

namespace engine {

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;

// One lock for every entry point; recursive because WaitMilliseconds calls ProcessMessage.
extern std::recursive_mutex Lock;
#define ENGINE_ENTRY const std::lock_guard<std::recursive_mutex> engineGuard(engine::Lock)

// What the game asked for before EngineInit.
struct SetupValues {
    bool windowed = false;
    char caption[128] = "";
    int width = 640;
    int height = 480;
    int colorDepth = 32;
    int refreshRate = 60;
    bool resizable = false;
    int iconId = 0;
};
extern SetupValues Setup;
extern bool Running;

// Why the start failed, in a player's words; said on stderr when EngineInit gives up. Also logged.
extern char StartProblem[256];
void NoteStartProblem(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Where the 640 x 480 picture goes in an output of this size: the largest 4:3 rectangle that fits,
// centred, never empty. Windowed and full screen alike, so a stretched window never squashes it.
struct PictureRect {
    int x, y, w, h;
};
PictureRect FitPicture(int outW, int outH);

// The 640 x 480 back buffer, 0x00RRGGBB.
extern uint32_t BackBuffer[ScreenWidth * ScreenHeight];

// Log.txt: "<ms since start>:<one tab per level><message>\r\n".
void LogOpen();
void LogLine(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
void LogClose();

// Largest data files and pictures the game takes. The real ones are far smaller (the longest music
// is a few megabytes, the largest picture 640 x 3360); the limits keep a damaged or hostile file
// from taking gigabytes of memory.
constexpr size_t MaxPictureFileBytes = 32u << 20;
constexpr int MaxPictureSide = 4096;
constexpr size_t MaxPicturePixels = 4u << 20; // 16 MiB decoded
constexpr size_t MaxSoundFileBytes = 64u << 20;

// Reads a whole data file: a regular file of at most maxBytes, opened without blocking. On
// failure, false with the reason in why.
bool ReadDataFile(const char* file, size_t maxBytes, std::vector<unsigned char>& bytes, char* why,
                  size_t whySize);

// Decodes a PNG file into malloc'd 0xAARRGGBB pixels; nullptr (and a log line) on failure.
uint32_t* ReadPngFile(const char* file, int* width, int* height);

// Pictures and sounds live in fixed tables of records with `used` and `generation` fields. A
// handle is the slot in its low SlotBits bits and the slot's generation above them, so a handle
// kept after its slot was freed goes stale instead of reaching the slot's next occupant.
template <int SlotBits, typename Record, int Count>
Record* RecordOfHandle(Record (&table)[Count], int handle) {
    static_assert(Count == 1 << SlotBits);
    if (handle < 0) {
        return nullptr;
    }
    Record& record = table[handle & (Count - 1)];
    const bool current =
        record.used && record.generation == static_cast<uint32_t>(handle >> SlotBits);
    return current ? &record : nullptr;
}

// The first unused slot, or -1 when the table is full.
template <typename Record, int Count>
int FreeSlotOf(const Record (&table)[Count]) {
    for (int slot = 0; slot < Count; ++slot) {
        if (!table[slot].used) {
            return slot;
        }
    }
    return -1;
}

// The slot's next generation (never 0, and small enough that the handle stays positive) and the
// handle made of it.
template <int SlotBits>
uint32_t NextGeneration(uint32_t generation) {
    return generation % ((1u << (31 - SlotBits)) - 1) + 1;
}
template <int SlotBits>
int HandleOf(uint32_t generation, int slot) {
    return static_cast<int>(generation << SlotBits) | slot;
}

// Subsystems, started and stopped by EngineInit / EngineShutdown.
void ImagesReleaseAll();
int TextStart();
void TextStop();
int SoundStart();
void SoundStop();
void SeedRandom(uint32_t seed);
void NoteSoundStarted(int handle);

// Shift-JIS (code page 932) to UTF-8; always terminates the output.
void SjisToUtf8(const char* sjis, char* out, size_t outSize);
// Game paths use '\' as the separator.
void NormalisePath(const char* path, char* out, size_t outSize);

} // namespace engine
