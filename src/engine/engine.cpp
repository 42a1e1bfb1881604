// The engine's life: set-up values, start-up in its fixed order, the frame, shutdown.
#include "engine.h"
#include "internal.h"
#include "platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace engine {

std::recursive_mutex Lock;
SetupValues Setup;
bool Running = false;

namespace {

bool HaveInstanceLock = false;
bool WindowOpen = false;
bool QuitRequested = false;
uint32_t FramesPresented = 0;
uint32_t FirstFrameAt = 0;
uint32_t LastFrameAt = 0;
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

int FailStart() {
    StopEverything();
    LogLine(0, "EngineInit failed");
    LogClose();
    return -1;
}

} // namespace

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
    LogOpen();
    LogLine(0, "EngineInit");
    platform::DescribeSystem();

    if (platform::DesktopBytesPerPixel() == 3 || Setup.colorDepth == 24) {
        LogLine(1, "a 24-bit display cannot be used; start on a 16- or 32-bit desktop");
        return FailStart();
    }
    SeedRandom(platform::Milliseconds());

    char captionUtf8[256];
    SjisToUtf8(Setup.caption, captionUtf8, sizeof captionUtf8);
    if (!platform::AcquireInstanceLock(ClassName())) {
        LogLine(1, "二重起動されています、ソフトを終了します");
        return FailStart();
    }
    HaveInstanceLock = true;
    LogLine(1, "二重起動はされていませんでした");

    if (platform::OpenWindow(captionUtf8[0] != '\0' ? captionUtf8 : ClassName(), !Setup.windowed,
                             Setup.resizable) != 0) {
        LogLine(1, "the window could not be created");
        return FailStart();
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
        return FailStart();
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
        const uint32_t ms = LastFrameAt - FirstFrameAt;
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
    }
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

int AskYesNoCancel(const char* text, const char* caption) {
    ENGINE_ENTRY;
    char textUtf8[512];
    char captionUtf8[256];
    SjisToUtf8(text != nullptr ? text : "", textUtf8, sizeof textUtf8);
    SjisToUtf8(caption != nullptr ? caption : "", captionUtf8, sizeof captionUtf8);
    return platform::Ask(textUtf8, captionUtf8);
}
