// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The headless platform: no window, no audio device, no waiting. Time is virtual: it advances by
// one sixtieth of a second per presented frame and by each requested sleep, so a run is the same
// on any machine and runs as fast as the game code allows.
#include "engine.h"
#include "headless.h"
#include "internal.h"
#include "platform.h"

#include <cstdio>
#include <sys/sysinfo.h>

namespace {

int FrameLimit = -1;
int Frames = 0;
uint64_t SleptMicros = 0; // virtual time spent in sleeps
uint32_t SeedValue = 1;
int Answer = AnswerNo;
bool Keys[256] = {};
uint32_t Pad = 0;
void (*FrameHook)(int) = nullptr;
bool Fullscreen = false;

} // namespace

void HeadlessSetFrameLimit(int frames) {
    FrameLimit = frames;
}

void HeadlessSetSeed(uint32_t seed) {
    SeedValue = seed;
    SleptMicros = 0;
}

void HeadlessSetAnswer(int answer) {
    Answer = answer;
}

void HeadlessSetKey(int set1Code, bool down) {
    if (set1Code >= 0 && set1Code < 256) {
        Keys[set1Code] = down;
    }
}

void HeadlessReleaseAllKeys() {
    for (bool& key : Keys) {
        key = false;
    }
    Pad = 0;
}

void HeadlessSetPadBits(uint32_t bits) {
    Pad = bits;
}

void HeadlessSetFrameHook(void (*hook)(int frame)) {
    FrameHook = hook;
}

int HeadlessFramesPresented() {
    return Frames;
}

bool HeadlessIsFullscreen() {
    return Fullscreen;
}

namespace platform {

int DesktopBytesPerPixel() {
    return 4;
}

// Headless runs open no window, so they take no part in the second-instance check: tests may run
// several side by side.
bool AcquireInstanceLock(const char*) {
    return true;
}

void ReleaseInstanceLock() {}

int OpenWindow(const char*, bool fullscreen, bool) {
    Fullscreen = fullscreen;
    Frames = 0;
    return 0;
}

void CloseWindow() {}

void SetWindowIcon(const uint32_t*, int, int) {}

void SetSmoothScaling(bool) {}

int SetFullscreen(bool fullscreen) {
    Fullscreen = fullscreen;
    return 0;
}

int Pump() {
    return FrameLimit >= 0 && Frames >= FrameLimit ? -1 : 0;
}

int Present(const uint32_t*) {
    const int frame = Frames++;
    if (FrameHook != nullptr) {
        FrameHook(frame);
    }
    return 0;
}

void RefreshInput() {}

uint32_t StalledMilliseconds() {
    return 0;
}

bool KeyDown(int set1Code) {
    return set1Code >= 0 && set1Code < 256 && Keys[set1Code];
}

uint32_t PadBits() {
    return Pad;
}

void InputStart() {}

void InputStop() {}

uint32_t Milliseconds() {
    const uint64_t micros = static_cast<uint64_t>(Frames) * 1000000 / 60 + SleptMicros;
    return SeedValue + static_cast<uint32_t>(micros / 1000);
}

void Sleep(int ms) {
    SleptMicros += static_cast<uint64_t>(ms > 0 ? ms : 0) * 1000;
}

int64_t CalendarSeconds() {
    return SeedValue;
}

int Ask(const char*, const char*, const char* const[3], char* problem, int problemSize) {
    if (Answer != AnswerYes && Answer != AnswerNo && Answer != AnswerCancel) {
        std::snprintf(problem, static_cast<size_t>(problemSize), "headless: no box by request");
        return -1;
    }
    return Answer;
}

const char* AudioDriver() {
    return "dummy";
}

void DescribeSystem() {
    struct sysinfo info {};
    if (sysinfo(&info) == 0) {
        engine::LogLine(1, "memory: %llu MB in all, %llu MB free",
                        static_cast<unsigned long long>(info.totalram) * info.mem_unit >> 20,
                        static_cast<unsigned long long>(info.freeram) * info.mem_unit >> 20);
    }
    engine::LogLine(1, "headless: virtual clock, no window, silent audio");
}

} // namespace platform
