// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The real platform on SDL2: window, presentation and pacing, events, keyboard, pads, the
// start-up question and the second-instance lock.
#include "engine.h"
#include "internal.h"
#include "platform.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

using engine::LogLine;
using engine::NoteStartProblem;
using engine::ScreenHeight;
using engine::ScreenWidth;

SDL_Window* Window = nullptr;
SDL_Renderer* Renderer = nullptr;
SDL_Texture* Screen = nullptr; // the 640 x 480 picture, nearest-neighbour sampled
SDL_Texture* Sharp = nullptr;  // the picture at a whole multiple, linearly scaled to the output
int SharpScale = 0;
bool IsFullscreen = false;
bool SmoothScaling = false;
// The picture on the window, so an unchanged frame (a menu waiting for a key) is not sent again.
uint32_t Shown[ScreenWidth * ScreenHeight];
bool ShownValid = false;
bool Focused = true;
bool Quit = false;
int LockFd = -1;
bool VideoStarted = false;

// ---- Pacing -------------------------------------------------------------------------------------

constexpr uint64_t FrameNs = 1000000000ull / 60;
uint64_t ScheduleStart = 0; // when frame 0 of the current schedule was due
uint64_t ScheduleFrame = 0; // frames presented since then
int Restarts = 0;           // times the schedule started again after a stall
uint64_t StalledNs = 0;     // time lost in those stalls

uint64_t NowNs() {
    static const uint64_t frequency = SDL_GetPerformanceFrequency();
    const uint64_t counter = SDL_GetPerformanceCounter();
    return counter / frequency * 1000000000ull + counter % frequency * 1000000000ull / frequency;
}

// Frame n is due at start + n / 60 s, computed from the start so no error accumulates. We sleep
// until shortly before the due time and yield for the rest; vsync, where the renderer has it, only
// lines up the present. After a stall (a pause, a slow load) the schedule starts again from now
// instead of racing to catch up.
void WaitForFrameSlot() {
    const uint64_t now = NowNs();
    if (ScheduleStart == 0) {
        ScheduleStart = now;
        ScheduleFrame = 0;
        return;
    }
    ++ScheduleFrame;
    const uint64_t due = ScheduleStart + ScheduleFrame * FrameNs;
    if (now > due + 100000000ull) {
        ++Restarts;
        StalledNs += now - due;
        ScheduleStart = now;
        ScheduleFrame = 0;
        return;
    }
    for (;;) {
        const uint64_t t = NowNs();
        if (t >= due) {
            break;
        }
        // Sleep to within a fifth of a millisecond of the slot (the system wakes a sleeper some
        // 50 microseconds late), then yield the core for the last moment: the wait costs next to
        // no processor time, on battery too.
        const uint64_t left = due - t;
        if (left > 300000ull) {
            std::this_thread::sleep_for(std::chrono::nanoseconds(left - 200000ull));
        } else {
            SDL_Delay(0);
        }
    }
}

// ---- Presentation -------------------------------------------------------------------------------

// Pixels stay crisp without shimmering: scale up by the largest whole multiple that fits with
// nearest-neighbour sampling, then linearly to the final size.
void DrawScaled(const SDL_Rect& target) {
    const int scale =
        SmoothScaling ? 1 : std::max(1, std::min(target.w / ScreenWidth, target.h / ScreenHeight));
    if (scale > 1 && (target.w != ScreenWidth * scale || target.h != ScreenHeight * scale) &&
        SDL_RenderTargetSupported(Renderer)) {
        if (SharpScale != scale) {
            if (Sharp != nullptr) {
                SDL_DestroyTexture(Sharp);
            }
            Sharp = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                      ScreenWidth * scale, ScreenHeight * scale);
            SharpScale = Sharp != nullptr ? scale : 0;
            if (Sharp != nullptr) {
                SDL_SetTextureScaleMode(Sharp, SDL_ScaleModeLinear);
            }
        }
        if (Sharp != nullptr && SDL_SetRenderTarget(Renderer, Sharp) == 0) {
            SDL_RenderCopy(Renderer, Screen, nullptr, nullptr);
            SDL_SetRenderTarget(Renderer, nullptr);
            SDL_RenderCopy(Renderer, Sharp, nullptr, &target);
            return;
        }
    }
    SDL_SetTextureScaleMode(Screen, scale > 1 || target.w == ScreenWidth ? SDL_ScaleModeNearest
                                                                         : SDL_ScaleModeLinear);
    SDL_RenderCopy(Renderer, Screen, nullptr, &target);
}

// ---- Keyboard -----------------------------------------------------------------------------------

// PC set-1 scan codes (0x80 marks the E0-prefixed keys) to SDL's positional scancodes, so keys are
// read by their place on the keyboard whatever its layout.
struct KeyMap {
    int set1;
    SDL_Scancode sdl;
};

constexpr KeyMap KeyMaps[] = {
    {0x01, SDL_SCANCODE_ESCAPE}, {0x02, SDL_SCANCODE_1},        {0x03, SDL_SCANCODE_2},
    {0x04, SDL_SCANCODE_3},      {0x05, SDL_SCANCODE_4},        {0x06, SDL_SCANCODE_5},
    {0x07, SDL_SCANCODE_6},      {0x08, SDL_SCANCODE_7},        {0x09, SDL_SCANCODE_8},
    {0x0A, SDL_SCANCODE_9},      {0x0B, SDL_SCANCODE_0},        {0x0E, SDL_SCANCODE_BACKSPACE},
    {0x0F, SDL_SCANCODE_TAB},    {0x10, SDL_SCANCODE_Q},        {0x11, SDL_SCANCODE_W},
    {0x12, SDL_SCANCODE_E},      {0x13, SDL_SCANCODE_R},        {0x14, SDL_SCANCODE_T},
    {0x15, SDL_SCANCODE_Y},      {0x16, SDL_SCANCODE_U},        {0x17, SDL_SCANCODE_I},
    {0x18, SDL_SCANCODE_O},      {0x19, SDL_SCANCODE_P},        {0x1C, SDL_SCANCODE_RETURN},
    {0x1D, SDL_SCANCODE_LCTRL},  {0x1E, SDL_SCANCODE_A},        {0x1F, SDL_SCANCODE_S},
    {0x20, SDL_SCANCODE_D},      {0x21, SDL_SCANCODE_F},        {0x22, SDL_SCANCODE_G},
    {0x23, SDL_SCANCODE_H},      {0x24, SDL_SCANCODE_J},        {0x25, SDL_SCANCODE_K},
    {0x26, SDL_SCANCODE_L},      {0x2A, SDL_SCANCODE_LSHIFT},   {0x2C, SDL_SCANCODE_Z},
    {0x2D, SDL_SCANCODE_X},      {0x2E, SDL_SCANCODE_C},        {0x2F, SDL_SCANCODE_V},
    {0x30, SDL_SCANCODE_B},      {0x31, SDL_SCANCODE_N},        {0x32, SDL_SCANCODE_M},
    {0x36, SDL_SCANCODE_RSHIFT}, {0x38, SDL_SCANCODE_LALT},     {0x39, SDL_SCANCODE_SPACE},
    {0x3B, SDL_SCANCODE_F1},     {0x3C, SDL_SCANCODE_F2},       {0x3D, SDL_SCANCODE_F3},
    {0x3E, SDL_SCANCODE_F4},     {0x3F, SDL_SCANCODE_F5},       {0x40, SDL_SCANCODE_F6},
    {0x41, SDL_SCANCODE_F7},     {0x42, SDL_SCANCODE_F8},       {0x43, SDL_SCANCODE_F9},
    {0x44, SDL_SCANCODE_F10},    {0x57, SDL_SCANCODE_F11},      {0x58, SDL_SCANCODE_F12},
    {0x47, SDL_SCANCODE_KP_7},   {0x48, SDL_SCANCODE_KP_8},     {0x49, SDL_SCANCODE_KP_9},
    {0x4B, SDL_SCANCODE_KP_4},   {0x4C, SDL_SCANCODE_KP_5},     {0x4D, SDL_SCANCODE_KP_6},
    {0x4F, SDL_SCANCODE_KP_1},   {0x50, SDL_SCANCODE_KP_2},     {0x51, SDL_SCANCODE_KP_3},
    {0x52, SDL_SCANCODE_KP_0},   {0x9C, SDL_SCANCODE_KP_ENTER}, {0xC8, SDL_SCANCODE_UP},
    {0xCB, SDL_SCANCODE_LEFT},   {0xCD, SDL_SCANCODE_RIGHT},    {0xD0, SDL_SCANCODE_DOWN},
    {0xB8, SDL_SCANCODE_RALT},
};

SDL_Scancode ToSdl[256];

void BuildKeyTable() {
    std::fill(std::begin(ToSdl), std::end(ToSdl), SDL_SCANCODE_UNKNOWN);
    for (const KeyMap& key : KeyMaps) {
        ToSdl[key.set1] = key.sdl;
    }
}

// ---- Pads ---------------------------------------------------------------------------------------

constexpr int DeadZone = 8000; // of 32767: a quarter of the stick's travel
SDL_GameController* Controller = nullptr;
SDL_Joystick* Joystick = nullptr; // a device without a controller mapping
SDL_JoystickID PadId = -1;

void ClosePad() {
    if (Controller != nullptr) {
        SDL_GameControllerClose(Controller);
    } else if (Joystick != nullptr) {
        SDL_JoystickClose(Joystick);
    }
    Controller = nullptr;
    Joystick = nullptr;
    PadId = -1;
}

// Pad 1 is the first device that can be opened; pads may come and go while the game runs.
void OpenFirstPad() {
    if (Controller != nullptr || Joystick != nullptr) {
        return;
    }
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_IsGameController(i)) {
            Controller = SDL_GameControllerOpen(i);
            Joystick = Controller != nullptr ? SDL_GameControllerGetJoystick(Controller) : nullptr;
            if (Joystick == nullptr && Controller != nullptr) {
                SDL_GameControllerClose(Controller);
                Controller = nullptr;
            }
        }
        if (Joystick == nullptr) {
            // No controller mapping, or one that would not open: the raw device still plays.
            Joystick = SDL_JoystickOpen(i);
        }
        if (Joystick != nullptr) {
            PadId = SDL_JoystickInstanceID(Joystick);
            LogLine(0, "pad 1: %s", SDL_JoystickName(Joystick) ? SDL_JoystickName(Joystick) : "?");
            return;
        }
    }
}

uint32_t AxisBits(int x, int y) {
    uint32_t bits = 0;
    bits |= y > DeadZone ? 0x0001u : 0;
    bits |= x < -DeadZone ? 0x0002u : 0;
    bits |= x > DeadZone ? 0x0004u : 0;
    bits |= y < -DeadZone ? 0x0008u : 0;
    return bits;
}

uint32_t ControllerBits() {
    SDL_GameController* c = Controller;
    uint32_t bits = AxisBits(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX),
                             SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY));
    bits |= SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_DOWN) ? 0x0001u : 0;
    bits |= SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_LEFT) ? 0x0002u : 0;
    bits |= SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_RIGHT) ? 0x0004u : 0;
    bits |= SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_UP) ? 0x0008u : 0;
    // Pad buttons 1, 2, 3, 4, ... in the order players expect: the face buttons first (bottom,
    // right, left, top), then shoulders, back, start, sticks and guide.
    static constexpr SDL_GameControllerButton Order[] = {
        SDL_CONTROLLER_BUTTON_A,
        SDL_CONTROLLER_BUTTON_B,
        SDL_CONTROLLER_BUTTON_X,
        SDL_CONTROLLER_BUTTON_Y,
        SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
        SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
        SDL_CONTROLLER_BUTTON_BACK,
        SDL_CONTROLLER_BUTTON_START,
        SDL_CONTROLLER_BUTTON_LEFTSTICK,
        SDL_CONTROLLER_BUTTON_RIGHTSTICK,
        SDL_CONTROLLER_BUTTON_GUIDE,
        SDL_CONTROLLER_BUTTON_MISC1,
        SDL_CONTROLLER_BUTTON_PADDLE1,
        SDL_CONTROLLER_BUTTON_PADDLE2,
        SDL_CONTROLLER_BUTTON_PADDLE3,
        SDL_CONTROLLER_BUTTON_PADDLE4,
        SDL_CONTROLLER_BUTTON_TOUCHPAD,
    };
    for (int n = 0; n < static_cast<int>(std::size(Order)); ++n) {
        if (SDL_GameControllerGetButton(c, Order[n])) {
            bits |= 0x10u << n;
        }
    }
    return bits;
}

uint32_t JoystickBits() {
    SDL_Joystick* j = Joystick;
    uint32_t bits = 0;
    if (SDL_JoystickNumAxes(j) >= 2) {
        bits |= AxisBits(SDL_JoystickGetAxis(j, 0), SDL_JoystickGetAxis(j, 1));
    }
    if (SDL_JoystickNumHats(j) > 0) {
        const Uint8 hat = SDL_JoystickGetHat(j, 0);
        bits |= (hat & SDL_HAT_DOWN) ? 0x0001u : 0;
        bits |= (hat & SDL_HAT_LEFT) ? 0x0002u : 0;
        bits |= (hat & SDL_HAT_RIGHT) ? 0x0004u : 0;
        bits |= (hat & SDL_HAT_UP) ? 0x0008u : 0;
    }
    const int buttons = std::min(SDL_JoystickNumButtons(j), 24);
    for (int n = 0; n < buttons; ++n) {
        if (SDL_JoystickGetButton(j, n)) {
            bits |= 0x10u << n;
        }
    }
    return bits;
}

void HandleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        Quit = true;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            Focused = false;
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            Focused = true;
        } else if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            Quit = true;
        }
        // Shown, uncovered, resized, moved: the window's picture must be drawn again.
        ShownValid = false;
        break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        ShownValid = false;
        break;
    case SDL_JOYDEVICEADDED:
        OpenFirstPad();
        break;
    case SDL_JOYDEVICEREMOVED:
        if (event.jdevice.which == PadId) {
            ClosePad();
            OpenFirstPad();
        }
        break;
    default:
        break;
    }
}

// ---- The display's health -----------------------------------------------------------------------

// An X server that accepts the connection and never answers would hang the start for ever inside
// the system library. Before anything else talks to it, a connection of our own sends the opening
// bytes of the protocol and waits a few seconds for any reply (even a refusal is an answer).
constexpr int DisplayAnswerMs = 5000;
int ProbeConnection = -1;

int ConnectToDisplay(const char* display) {
    // ":N", ":N.S", "unix:N", "host:N"; anything else is left to the system library.
    const char* colon = std::strrchr(display, ':');
    if (colon == nullptr || colon[1] < '0' || colon[1] > '9') {
        return -1;
    }
    const int number = std::atoi(colon + 1);
    const std::string host(display, static_cast<size_t>(colon - display));
    if (host.empty() || host == "unix") {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return -1;
        }
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        // The abstract name first, as the system library does, then the file.
        for (int abstract = 1; abstract >= 0; --abstract) {
            std::snprintf(address.sun_path + abstract, sizeof address.sun_path - 1,
                          "/tmp/.X11-unix/X%d", number);
            address.sun_path[0] = abstract != 0 ? '\0' : address.sun_path[0];
            const socklen_t length =
                static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + abstract +
                                       std::strlen(address.sun_path + abstract));
            if (connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0) {
                return fd;
            }
        }
        close(fd);
        return -1;
    }
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(6000 + number);
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) {
        return -1;
    }
    int fd = -1;
    for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd >= 0 && connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    return fd;
}

// False only for an X display that takes the connection and then stays silent.
bool DisplayAnswers() {
    static int known = -1;
    if (known >= 0) {
        return known == 1;
    }
    known = 1;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') {
        return true;
    }
    const int fd = ConnectToDisplay(display);
    if (fd < 0) {
        return true; // nothing listens: the system library says so in its own words
    }
    // Little-endian, protocol 11.0, no authorisation: any server answers this at once.
    const unsigned char hello[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    pollfd wait{fd, POLLIN, 0};
    if (write(fd, hello, sizeof hello) == static_cast<ssize_t>(sizeof hello) &&
        poll(&wait, 1, DisplayAnswerMs) == 0) {
        known = 0;
    }
    if (known == 1) {
        ProbeConnection = fd;
    } else {
        close(fd);
    }
    return known == 1;
}

// An X server resets when its last client leaves, and a connection made during the reset fails.
// On a bare server (no window manager, no other program) the probe, or the start-up box, may be
// that last client: the probe stays connected until SDL has a connection of its own, and SDL's
// connection is made before the box comes and goes.
void CloseDisplayProbe() {
    if (ProbeConnection >= 0) {
        close(ProbeConnection);
        ProbeConnection = -1;
    }
}

// The X server went away (or killed the window's connection). The system library ends the
// process after this returns; the save is already safe, so the game ends here, saying why,
// without running anything that still counts on the display.
int DisplayLost(void*) {
    std::fprintf(stderr, "tovarine: the connection to the display was lost; the game ends\n");
    LogLine(0, "the connection to the display was lost; the game ends");
    engine::LogClose();
    _exit(1);
}

// The system's X library is loaded by SDL; its handler for a lost connection is set where it is.
void WatchForLostDisplay() {
    void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (x11 == nullptr) {
        return;
    }
    using Handler = int (*)(void*);
    using SetHandler = Handler (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(x11, "XSetIOErrorHandler"))) {
        set(DisplayLost);
    }
    dlclose(x11);
}

bool StartVideo() {
    if (!VideoStarted) {
        if (!DisplayAnswers()) {
            NoteStartProblem("the display %s does not answer", std::getenv("DISPLAY"));
            return false;
        }
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
        const int started = SDL_InitSubSystem(SDL_INIT_VIDEO);
        CloseDisplayProbe();
        if (started != 0) {
            NoteStartProblem("no video: %s", SDL_GetError());
            return false;
        }
        // Without a display SDL falls back to drivers that show nothing: the game would run
        // unseen for ever. Only someone who asks for such a driver by name gets it.
        const char* driver = SDL_GetCurrentVideoDriver();
        const bool invisible = driver != nullptr && (std::strcmp(driver, "offscreen") == 0 ||
                                                     std::strcmp(driver, "dummy") == 0);
        if (invisible && std::getenv("SDL_VIDEODRIVER") == nullptr) {
            const char* x11 = std::getenv("DISPLAY");
            const char* wayland = std::getenv("WAYLAND_DISPLAY");
            if ((x11 == nullptr || x11[0] == '\0') && (wayland == nullptr || wayland[0] == '\0')) {
                NoteStartProblem("no display to show the window on (DISPLAY and WAYLAND_DISPLAY "
                                 "are not set)");
            } else {
                NoteStartProblem("no display to show the window on (DISPLAY=%s WAYLAND_DISPLAY=%s "
                                 "could not be opened)",
                                 x11 != nullptr ? x11 : "", wayland != nullptr ? wayland : "");
            }
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            return false;
        }
        if (driver != nullptr && std::strcmp(driver, "x11") == 0) {
            WatchForLostDisplay();
        }
        VideoStarted = true;
    }
    return true;
}

} // namespace

namespace platform {

int DesktopBytesPerPixel() {
    if (!StartVideo()) {
        return 4;
    }
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        return 4;
    }
    LogLine(1, "desktop: %d x %d, %s, %d Hz, video driver %s", mode.w, mode.h,
            SDL_GetPixelFormatName(mode.format), mode.refresh_rate, SDL_GetCurrentVideoDriver());
    // Depth-24 X visuals are stored in 32 bits; only a packed 3-byte desktop is refused.
    return SDL_BYTESPERPIXEL(mode.format);
}

// A folder for the lock that only this user can write: $XDG_RUNTIME_DIR when it is one, else a
// folder of our own in the shared temporary folder, made with mode 700 and checked (owner, mode,
// not a link), since anyone may create names there.
bool LockFolder(char* out, size_t size) {
    const uid_t uid = getuid();
    auto privateFolder = [uid](const char* path) {
        struct stat info {};
        return lstat(path, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == uid &&
               (info.st_mode & 077) == 0;
    };
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && privateFolder(runtime)) {
        std::snprintf(out, size, "%s", runtime);
        return true;
    }
    const char* temp = std::getenv("TMPDIR");
    if (temp == nullptr || temp[0] != '/') {
        temp = "/tmp";
    }
    std::snprintf(out, size, "%s/tovarine-%u", temp, static_cast<unsigned>(uid));
    if (mkdir(out, 0700) != 0 && errno != EEXIST) {
        return false;
    }
    return privateFolder(out);
}

bool AcquireInstanceLock(const char* name) {
    char dir[400];
    if (!LockFolder(dir, sizeof dir)) {
        // Someone else holds the place the lock would go: running is better than refusing.
        std::fprintf(stderr, "tovarine: instance lock: %s is not this user's own; not checked\n",
                     dir);
        return true;
    }
    char path[512];
    std::snprintf(path, sizeof path, "%s/%s.%u.lock", dir, name, static_cast<unsigned>(getuid()));
    LockFd = open(path, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (LockFd < 0) {
        // Without a lock file the check cannot be made; running is better than refusing.
        std::fprintf(stderr, "tovarine: instance lock %s: %s; not checked\n", path,
                     std::strerror(errno));
        return true;
    }
    if (flock(LockFd, LOCK_EX | LOCK_NB) != 0) {
        close(LockFd);
        LockFd = -1;
        return false;
    }
    return true;
}

void ReleaseInstanceLock() {
    if (LockFd >= 0) {
        close(LockFd);
        LockFd = -1;
    }
}

// True when the renderer just made is OpenGL done by the processor (the emulating drivers name
// themselves in their renderer string).
bool DrawsInSoftware() {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(Renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0) {
        return false;
    }
    using GetString = const unsigned char* (*)(unsigned int);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    constexpr unsigned int GlRenderer = 0x1F01;
    const auto* name =
        getString != nullptr ? reinterpret_cast<const char*>(getString(GlRenderer)) : nullptr;
    if (name == nullptr) {
        return false;
    }
    LogLine(1, "OpenGL renderer: %s", name);
    for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"}) {
        if (std::strstr(name, software) != nullptr) {
            return true;
        }
    }
    return false;
}

int OpenWindow(const char* captionUtf8, bool fullscreen, bool resizable) {
    if (!StartVideo()) {
        return -1;
    }
    SDL_SetHint(SDL_HINT_IME_SHOW_UI, "0");
    Uint32 flags = SDL_WINDOW_HIDDEN;
    flags |= fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
    flags |= resizable ? SDL_WINDOW_RESIZABLE : 0;
    Window = SDL_CreateWindow(captionUtf8, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              ScreenWidth, ScreenHeight, flags);
    if (Window == nullptr) {
        NoteStartProblem("the window could not be opened: %s", SDL_GetError());
        return -1;
    }
    Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (Renderer != nullptr && SDL_GetHint(SDL_HINT_RENDER_DRIVER) == nullptr &&
        DrawsInSoftware()) {
        // Without a graphics processor (a virtual machine, a virtual display) OpenGL is emulated
        // at three times the cost of putting the picture straight into the window.
        LogLine(
            1,
            "renderer: OpenGL is drawn in software here; the picture goes straight to the window");
        SDL_DestroyRenderer(Renderer);
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (Renderer == nullptr) {
        Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (Renderer == nullptr) {
        NoteStartProblem("no usable renderer: %s", SDL_GetError());
        CloseWindow();
        return -1;
    }
    Screen = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                               ScreenWidth, ScreenHeight);
    if (Screen == nullptr) {
        NoteStartProblem("no usable renderer: the screen texture failed: %s", SDL_GetError());
        CloseWindow();
        return -1;
    }
    ShownValid = false;
    // The back buffer is opaque whatever its alpha bytes say: copied, never blended.
    SDL_SetTextureBlendMode(Screen, SDL_BLENDMODE_NONE);
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(Renderer, &info) == 0) {
        LogLine(1, "renderer: %s", info.name);
    }
    SDL_StopTextInput();
    IsFullscreen = fullscreen;
    SDL_ShowCursor(fullscreen ? SDL_DISABLE : SDL_ENABLE);
    SDL_ShowWindow(Window);
    SDL_RaiseWindow(Window);
    Focused = true;
    Quit = false;
    ScheduleStart = 0;
    return 0;
}

void CloseWindow() {
    if (Restarts > 0) {
        LogLine(1, "frame schedule restarted %d times after stalls", Restarts);
        Restarts = 0;
    }
    if (Sharp != nullptr) {
        SDL_DestroyTexture(Sharp);
        Sharp = nullptr;
        SharpScale = 0;
    }
    if (Screen != nullptr) {
        SDL_DestroyTexture(Screen);
        Screen = nullptr;
    }
    if (Renderer != nullptr) {
        SDL_DestroyRenderer(Renderer);
        Renderer = nullptr;
    }
    if (Window != nullptr) {
        SDL_DestroyWindow(Window);
        Window = nullptr;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
    if (VideoStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        VideoStarted = false;
    }
}

void SetSmoothScaling(bool smooth) {
    SmoothScaling = smooth;
    ShownValid = false;
}

void SetWindowIcon(const uint32_t* pixels, int width, int height) {
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(pixels), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (Window != nullptr && icon != nullptr) {
        SDL_SetWindowIcon(Window, icon);
    }
    SDL_FreeSurface(icon);
}

int SetFullscreen(bool fullscreen) {
    if (Window == nullptr) {
        return -1;
    }
    if (SDL_SetWindowFullscreen(Window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        LogLine(1, "full screen: %s", SDL_GetError());
        return -1;
    }
    if (!fullscreen) {
        SDL_SetWindowSize(Window, ScreenWidth, ScreenHeight);
        SDL_SetWindowPosition(Window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    IsFullscreen = fullscreen;
    SDL_ShowCursor(fullscreen ? SDL_DISABLE : SDL_ENABLE);
    ScheduleStart = 0;
    ShownValid = false;
    return 0;
}

int Pump() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        HandleEvent(event);
    }
    // Without focus the game stands still; waiting on the event queue burns no CPU.
    bool paused = false;
    while (!Focused && !Quit) {
        paused = true;
        if (SDL_WaitEventTimeout(&event, 100)) {
            HandleEvent(event);
        }
    }
    if (paused) {
        ScheduleStart = 0;
    }
    return Quit ? -1 : 0;
}

int Present(const uint32_t* pixels) {
    if (Renderer == nullptr) {
        return -1;
    }
    // A frame like the one on the window costs only its wait: at a still menu the renderer
    // (under a virtual display, a software one) has nothing to do.
    const size_t bytes = sizeof Shown;
    if (ShownValid && std::memcmp(Shown, pixels, bytes) == 0) {
        WaitForFrameSlot();
        return 0;
    }
    std::memcpy(Shown, pixels, bytes);
    ShownValid = true;
    SDL_UpdateTexture(Screen, nullptr, pixels, ScreenWidth * 4);
    int outW = 0;
    int outH = 0;
    SDL_GetRendererOutputSize(Renderer, &outW, &outH);
    const engine::PictureRect fit = engine::FitPicture(outW, outH);
    const SDL_Rect target{fit.x, fit.y, fit.w, fit.h};
    // Only the bars beside the picture need clearing; a picture that covers the whole
    // output spares the renderer one full pass (on a software renderer, a third of its work).
    if (target.x > 0 || target.y > 0 || target.w < outW || target.h < outH) {
        SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
        SDL_RenderClear(Renderer);
    }
    DrawScaled(target);
    WaitForFrameSlot();
    SDL_RenderPresent(Renderer);
    return 0;
}

void RefreshInput() {
    SDL_PumpEvents();
}

uint32_t StalledMilliseconds() {
    return static_cast<uint32_t>(StalledNs / 1000000ull);
}

bool KeyDown(int set1Code) {
    if (set1Code < 0 || set1Code > 255 || ToSdl[set1Code] == SDL_SCANCODE_UNKNOWN) {
        return false;
    }
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    return ToSdl[set1Code] < count && keys[ToSdl[set1Code]] != 0;
}

uint32_t PadBits() {
    if (Controller != nullptr) {
        return ControllerBits();
    }
    return Joystick != nullptr ? JoystickBits() : 0;
}

void InputStart() {
    BuildKeyTable();
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        LogLine(1, "pads: %s", SDL_GetError());
        return;
    }
    OpenFirstPad();
}

void InputStop() {
    ClosePad();
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0) {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
}

uint32_t Milliseconds() {
    return static_cast<uint32_t>(NowNs() / 1000000ull);
}

void Sleep(int ms) {
    SDL_Delay(static_cast<Uint32>(ms > 0 ? ms : 0));
}

int64_t CalendarSeconds() {
    return static_cast<int64_t>(std::time(nullptr));
}

int Ask(const char* textUtf8, const char* captionUtf8, const char* const labelsUtf8[3],
        char* problem, int problemSize) {
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, AnswerYes, labelsUtf8[0]},
        {0, AnswerNo, labelsUtf8[1]},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, AnswerCancel, labelsUtf8[2]},
    };
    const SDL_MessageBoxData box = {
        SDL_MESSAGEBOX_INFORMATION,           nullptr, captionUtf8, textUtf8,
        static_cast<int>(std::size(buttons)), buttons, nullptr};
    // SDL has two boxes here. On X11 it draws its own with the X server's core fonts, and gives up
    // when the server has none of the size it asks for (a bare Xvfb or Xwayland without the
    // xfonts-base fonts has only the built-in "fixed"); then it runs the zenity program, which a
    // plain desktop may not have. With neither there is no box, and asking again cannot help: the
    // game asks in its own window instead.
    if (!DisplayAnswers()) {
        std::snprintf(problem, static_cast<size_t>(problemSize), "the display %s does not answer",
                      std::getenv("DISPLAY"));
        return -1;
    }
    // Without a display there is no box; the game's window will fail too and say why.
    if (!StartVideo()) {
        std::snprintf(problem, static_cast<size_t>(problemSize), "no display for the box");
        return -1;
    }
    int answer = -1;
    if (SDL_ShowMessageBox(&box, &answer) != 0) {
        const char* error = SDL_GetError();
        std::snprintf(problem, static_cast<size_t>(problemSize),
                      "%s; the X11 box needs the X server's core fonts, the other one zenity",
                      error != nullptr && error[0] != '\0' ? error : "no box");
        return -1;
    }
    // Closing the box by its frame is neither Yes nor Cancel: windowed, as for "No".
    return answer == AnswerYes || answer == AnswerCancel ? answer : AnswerNo;
}

const char* AudioDriver() {
    return nullptr;
}

void DescribeSystem() {
    struct sysinfo info {};
    if (sysinfo(&info) == 0) {
        LogLine(1, "memory: %llu MB in all, %llu MB free",
                static_cast<unsigned long long>(info.totalram) * info.mem_unit >> 20,
                static_cast<unsigned long long>(info.freeram) * info.mem_unit >> 20);
    }
    LogLine(1, "timer: performance counter at %llu Hz",
            static_cast<unsigned long long>(SDL_GetPerformanceFrequency()));
}

} // namespace platform
