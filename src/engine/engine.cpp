// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The engine's life: set-up values, start-up in its fixed order, the frame, shutdown.
#include "engine.h"
#include "headless.h"
#include "internal.h"
#include "platform.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace engine {

std::recursive_mutex Lock;
SetupValues Setup;
bool Running = false;
char StartProblem[256] = "";

namespace {

bool HaveInstanceLock = false;
bool WindowOpen = false;
bool QuitRequested = false;
uint32_t FramesPresented = 0;
uint32_t FirstFrameAt = 0;
uint32_t LastFrameAt = 0;
uint32_t StalledBefore = 0;
constexpr uint32_t RateFrom = 60;

// The window class name doubles as the name of the second-instance lock.
const char* ClassName() {
    return Setup.caption[0] != '\0' ? Setup.caption : "D123987X";
}

// Undoes whatever start-up has done so far; also the body of EngineShutdown.
void StopEverything() {
    SoundStop();
    ImagesReleaseAll();
    TextStop();
    platform::InputStop();
    if (WindowOpen) {
        platform::CloseWindow();
        WindowOpen = false;
    }
    if (HaveInstanceLock) {
        platform::ReleaseInstanceLock();
        HaveInstanceLock = false;
    }
}

// Why the start-up question had no box of the desktop's own, for the log once it is open.
char AskProblem[256] = "";

// A failed start says why on stderr as well: a player who started the game from a terminal or a
// menu should not have to find Log.txt to learn that there is no display.
int FailStart(const char* reason) {
    StopEverything();
    const char* why = StartProblem[0] != '\0' ? StartProblem : reason;
    LogLine(0, "EngineInit failed: %s", why);
    LogClose();
    std::fprintf(stderr, "tovarine: cannot start: %s (details in Log.txt)\n", why);
    return -1;
}

} // namespace

void NoteStartProblem(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(StartProblem, sizeof StartProblem, format, args);
    va_end(args);
    LogLine(1, "%s", StartProblem);
}

PictureRect FitPicture(int outW, int outH) {
    outW = std::max(outW, 1);
    outH = std::max(outH, 1);
    int w = outW;
    int h = std::max(1, outW * ScreenHeight / ScreenWidth);
    if (h > outH) {
        h = outH;
        w = std::max(1, outH * ScreenWidth / ScreenHeight);
    }
    return PictureRect{(outW - w) / 2, (outH - h) / 2, w, h};
}

void NormalisePath(const char* path, char* out, size_t outSize) {
    size_t i = 0;
    for (; path[i] != '\0' && i + 1 < outSize; ++i) {
        out[i] = path[i] == '\\' ? '/' : path[i];
    }
    out[i] = '\0';
}

} // namespace engine

using namespace engine;

int ChangeWindowMode(int windowed) {
    ENGINE_ENTRY;
    Setup.windowed = windowed != 0;
    if (!Running) {
        return 0;
    }
    LogLine(0, "ChangeWindowMode: %s", Setup.windowed ? "window" : "full screen");
    if (platform::SetFullscreen(!Setup.windowed) != 0) {
        LogLine(1, "the display could not be switched");
        return -1;
    }
    // The game reloads every picture after a switch; dropping the old ones keeps memory flat.
    ImagesReleaseAll();
    return 0;
}

int SetWindowCaption(const char* caption) {
    ENGINE_ENTRY;
    std::snprintf(Setup.caption, sizeof Setup.caption, "%s", caption != nullptr ? caption : "");
    return 0;
}

int SetWindowIconId(int resourceId) {
    ENGINE_ENTRY;
    Setup.iconId = resourceId;
    return 0;
}

int SetWindowResizable(int resizable) {
    ENGINE_ENTRY;
    Setup.resizable = resizable != 0;
    return 0;
}

int SetScreenMode(int width, int height, int colorDepth, int refreshRate) {
    ENGINE_ENTRY;
    // The picture is always 640 x 480 at 32 bits; other requests are refused, not half-honoured.
    if (width != ScreenWidth || height != ScreenHeight ||
        (colorDepth != 32 && colorDepth != 24 && colorDepth != 16)) {
        return -1;
    }
    Setup.colorDepth = colorDepth;
    Setup.refreshRate = refreshRate;
    return 0;
}

int EngineInit() {
    ENGINE_ENTRY;
    if (Running) {
        return 0;
    }
    QuitRequested = false;
    StartProblem[0] = '\0';
    // A second copy that skipped LockSingleInstance must not re-create the first copy's log.
    if (!HaveInstanceLock && !platform::AcquireInstanceLock(ClassName())) {
        std::fprintf(stderr, "tovarine: %s\n", "二重起動されています、ソフトを終了します");
        return -1;
    }
    HaveInstanceLock = true;
    LogOpen();
    LogLine(0, "EngineInit");
    platform::DescribeSystem();
    if (AskProblem[0] != '\0') {
        LogLine(1, "start-up question: no box of the desktop's own (%s); asked in the window",
                AskProblem);
        AskProblem[0] = '\0';
    }

    const int desktopBytes = platform::DesktopBytesPerPixel();
    if (StartProblem[0] != '\0') {
        return FailStart(StartProblem);
    }
    if (desktopBytes == 3 || Setup.colorDepth == 24) {
        return FailStart("a 24-bit display cannot be used; start on a 16- or 32-bit desktop");
    }
    SeedRandom(platform::Milliseconds());
    LogLine(1, "二重起動はされていませんでした");

    char captionUtf8[256];
    SjisToUtf8(Setup.caption, captionUtf8, sizeof captionUtf8);
    if (platform::OpenWindow(captionUtf8[0] != '\0' ? captionUtf8 : ClassName(), !Setup.windowed,
                             Setup.resizable) != 0) {
        return FailStart("the window could not be created");
    }
    WindowOpen = true;
    // Icon resource 101 is the program's own picture in the data folder.
    if (Setup.iconId == 101) {
        int width = 0;
        int height = 0;
        if (uint32_t* icon = ReadPngFile("png/icon.png", &width, &height)) {
            platform::SetWindowIcon(icon, width, height);
            std::free(icon);
        }
    }
    LogLine(1, "window: %s, 640 x 480", Setup.windowed ? "windowed" : "full screen");
    // Let the window settle before the first frame, as a newly mapped window needs a moment.
    const uint32_t settle = platform::Milliseconds();
    while (platform::Milliseconds() - settle < 200 && platform::Pump() == 0) {
        platform::Sleep(1);
    }

    platform::InputStart();
    LogLine(1, "input started");
    SoundStart();
    if (TextStart() != 0) {
        return FailStart("the text system could not be started");
    }
    LogLine(1, "graphics: 640 x 480 back buffer, 32-bit colour");
    std::memset(BackBuffer, 0, sizeof BackBuffer);
    FramesPresented = 0;
    Running = true;
    LogLine(0, "EngineInit done");
    return 0;
}

int EngineShutdown() {
    ENGINE_ENTRY;
    if (!Running) {
        return 0;
    }
    LogLine(0, "EngineShutdown");
    if (FramesPresented > RateFrom + 1) {
        // The pace of the frames, not of the loads: a stall (a loading frame, a lost focus) is
        // logged by the platform and left out here.
        const uint32_t stalled = platform::StalledMilliseconds() - StalledBefore;
        const uint32_t all = LastFrameAt - FirstFrameAt;
        const uint32_t ms = all > stalled ? all - stalled : 0;
        LogLine(1, "%u frames presented; %.2f frames per second after the first second",
                FramesPresented, ms > 0 ? (FramesPresented - RateFrom - 1) * 1000.0 / ms : 0.0);
    }
    StopEverything();
    Running = false;
    LogLine(0, "EngineShutdown done");
    LogClose();
    return 0;
}

int ProcessMessage() {
    ENGINE_ENTRY;
    if (!Running || QuitRequested) {
        return -1;
    }
    if (platform::Pump() != 0) {
        QuitRequested = true;
        return -1;
    }
    return 0;
}

int FlipScreen() {
    ENGINE_ENTRY;
    if (!Running) {
        return -1;
    }
    platform::Present(BackBuffer);
    // The rate is measured from one second in, past the slow first presents of a new window.
    LastFrameAt = platform::Milliseconds();
    if (FramesPresented++ == RateFrom) {
        FirstFrameAt = LastFrameAt;
        StalledBefore = platform::StalledMilliseconds();
    }
    return 0;
}

int SetScalingMode(int smooth) {
    ENGINE_ENTRY;
    platform::SetSmoothScaling(smooth != 0);
    return 0;
}

namespace {
uint32_t ScreenCopy[ScreenWidth * ScreenHeight];
} // namespace

int SaveScreenCopy() {
    ENGINE_ENTRY;
    std::memcpy(ScreenCopy, BackBuffer, sizeof ScreenCopy);
    return 0;
}

int RestoreScreenCopy() {
    ENGINE_ENTRY;
    std::memcpy(BackBuffer, ScreenCopy, sizeof ScreenCopy);
    return 0;
}

int GetMillisecondCount() {
    ENGINE_ENTRY;
    return static_cast<int>(platform::Milliseconds());
}

int64_t GetCalendarTime() {
    ENGINE_ENTRY;
    return platform::CalendarSeconds();
}

int WaitMilliseconds(int ms) {
    ENGINE_ENTRY;
    const uint32_t start = platform::Milliseconds();
    while (ProcessMessage() == 0 && platform::Milliseconds() - start < static_cast<uint32_t>(ms)) {
        platform::Sleep(1);
    }
    return 0;
}

namespace {
// The box's buttons, as the game named them (UTF-8).
char AnswerLabels[3][64] = {"はい", "いいえ", "キャンセル"};
} // namespace

int SetAnswerLabels(const char* yes, const char* no, const char* cancel) {
    ENGINE_ENTRY;
    const char* const given[3] = {yes, no, cancel};
    for (int i = 0; i < 3; ++i) {
        if (given[i] != nullptr && given[i][0] != '\0') {
            SjisToUtf8(given[i], AnswerLabels[i], sizeof AnswerLabels[i]);
        }
    }
    return 0;
}

int AskYesNoCancel(const char* text, const char* caption) {
    ENGINE_ENTRY;
    char textUtf8[512];
    char captionUtf8[256];
    SjisToUtf8(text != nullptr ? text : "", textUtf8, sizeof textUtf8);
    SjisToUtf8(caption != nullptr ? caption : "", captionUtf8, sizeof captionUtf8);
    const char* const labels[3] = {AnswerLabels[0], AnswerLabels[1], AnswerLabels[2]};
    const int answer = platform::Ask(textUtf8, captionUtf8, labels, AskProblem, sizeof AskProblem);
    return answer == AnswerYes || answer == AnswerNo || answer == AnswerCancel ? answer : -1;
}

void PictureRectIn(int outW, int outH, int rect[4]) {
    const PictureRect fit = FitPicture(outW, outH);
    rect[0] = fit.x;
    rect[1] = fit.y;
    rect[2] = fit.w;
    rect[3] = fit.h;
}

int LockSingleInstance() {
    ENGINE_ENTRY;
    if (HaveInstanceLock) {
        return 0;
    }
    if (!platform::AcquireInstanceLock(ClassName())) {
        std::fprintf(stderr, "tovarine: another copy of the game is already running (%s)\n",
                     "二重起動されています、ソフトを終了します");
        return -1;
    }
    HaveInstanceLock = true;
    return 0;
}
