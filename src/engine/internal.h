// State shared by the engine's own files. Nothing outside src/engine includes this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

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

// The 640 x 480 back buffer, 0x00RRGGBB.
extern uint32_t BackBuffer[ScreenWidth * ScreenHeight];

// Log.txt: "<ms since start>:<one tab per level><message>\r\n".
void LogOpen();
void LogLine(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
void LogClose();

// Decodes a PNG file into malloc'd 0xAARRGGBB pixels; nullptr (and a log line) on failure.
uint32_t* ReadPngFile(const char* file, int* width, int* height);

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
