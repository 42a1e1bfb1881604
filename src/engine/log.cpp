// Log.txt: the engine's diagnostics, re-created at every start.
#include "internal.h"
#include "platform.h"

#include <cstdarg>
#include <cstdio>

namespace engine {

namespace {
std::FILE* LogFile = nullptr;
uint32_t LogStart = 0;
} // namespace

void LogOpen() {
    LogClose();
    std::remove("Log.txt");
    LogFile = std::fopen("Log.txt", "wb");
    LogStart = platform::Milliseconds();
}

void LogLine(int level, const char* format, ...) {
    if (LogFile == nullptr) {
        return;
    }
    std::fprintf(LogFile, "%u:", platform::Milliseconds() - LogStart);
    for (int i = 0; i < level; ++i) {
        std::fputc('\t', LogFile);
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(LogFile, format, args);
    va_end(args);
    std::fputs("\r\n", LogFile);
    // Flushed at once, so the log survives a crash.
    std::fflush(LogFile);
}

void LogClose() {
    if (LogFile != nullptr) {
        std::fclose(LogFile);
        LogFile = nullptr;
    }
}

} // namespace engine
