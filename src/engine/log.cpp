// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Log.txt: the engine's diagnostics, re-created at every start.
#include "engine.h"
#include "internal.h"
#include "platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace engine {

namespace {

std::FILE* LogFile = nullptr;
uint32_t LogStart = 0;
long LogBytes = 0;
// The last line written (level and message), and how often it came again since.
char LastLine[512] = "";
long Repeats = 0;

// Whatever happens in a run, the log stays small enough to read and to attach to a report.
constexpr long MaxLogBytes = 1 << 20;

void Write(const char* text) {
    if (LogBytes >= MaxLogBytes) {
        return;
    }
    std::fprintf(LogFile, "%u:", platform::Milliseconds() - LogStart);
    std::fputs(text, LogFile);
    std::fputs("\r\n", LogFile);
    LogBytes += static_cast<long>(std::strlen(text)) + 12;
    if (LogBytes >= MaxLogBytes) {
        std::fputs("Log.txt is full: the rest of this run is not logged\r\n", LogFile);
    }
    // Flushed at once, so the log survives a crash.
    std::fflush(LogFile);
}

void FlushRepeats() {
    if (Repeats > 0) {
        char text[64];
        std::snprintf(text, sizeof text, "(the line above %ld more time%s)", Repeats,
                      Repeats == 1 ? "" : "s");
        Repeats = 0;
        Write(text);
    }
}

} // namespace

void LogOpen() {
    LogClose();
    // A new file, never one reached through a link planted under the name.
    std::remove("Log.txt");
    const int fd = open("Log.txt", O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    LogFile = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (LogFile == nullptr && fd >= 0) {
        close(fd);
    }
    LogStart = platform::Milliseconds();
    LogBytes = 0;
    LastLine[0] = '\0';
    Repeats = 0;
}

void LogLine(int level, const char* format, ...) {
    if (LogFile == nullptr) {
        return;
    }
    char text[sizeof LastLine];
    int used = 0;
    for (; used < level && used < 8; ++used) {
        text[used] = '\t';
    }
    va_list args;
    va_start(args, format);
    std::vsnprintf(text + used, sizeof text - static_cast<size_t>(used), format, args);
    va_end(args);
    // A line that comes again and again (a key held, a file missing every frame) is counted.
    if (std::strcmp(text, LastLine) == 0) {
        ++Repeats;
        return;
    }
    FlushRepeats();
    std::memcpy(LastLine, text, sizeof LastLine);
    Write(text);
}

void LogClose() {
    if (LogFile != nullptr) {
        FlushRepeats();
        std::fclose(LogFile);
        LogFile = nullptr;
    }
}

} // namespace engine

int LogMessage(const char* text) {
    ENGINE_ENTRY;
    if (text == nullptr) {
        return -1;
    }
    engine::LogLine(0, "%s", text);
    return 0;
}
