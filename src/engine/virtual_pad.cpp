// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Virtual pads for tests, through SDL's own virtual joystick driver. Each call opens the device
// for the moment it needs it, so nothing is left open when a test forgets to unplug.
#include "virtual_pad.h"

#include "internal.h"

#include <SDL.h>

namespace {

int DeviceIndexOf(int pad) {
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == pad && SDL_JoystickIsVirtual(i)) {
            return i;
        }
    }
    return -1;
}

template <typename Set>
int WithPad(int pad, Set set) {
    const int index = DeviceIndexOf(pad);
    if (index < 0) {
        return -1;
    }
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    if (joystick == nullptr) {
        return -1;
    }
    const int result = set(joystick);
    SDL_JoystickClose(joystick);
    return result == 0 ? 0 : -1;
}

} // namespace

int VirtualPadPlug(bool controller, int buttons) {
    ENGINE_ENTRY;
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) {
        return -1;
    }
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    if (controller) {
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.name = "test controller";
    } else {
        desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.naxes = 2;
        desc.nbuttons = static_cast<Uint16>(buttons);
        desc.nhats = 1;
        desc.name = "test joystick";
    }
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    return index < 0 ? -1 : SDL_JoystickGetDeviceInstanceID(index);
}

int VirtualPadSetButton(int pad, int button, bool down) {
    ENGINE_ENTRY;
    return WithPad(pad, [&](SDL_Joystick* j) {
        return SDL_JoystickSetVirtualButton(j, button, down ? SDL_PRESSED : SDL_RELEASED);
    });
}

int VirtualPadSetAxis(int pad, int axis, int value) {
    ENGINE_ENTRY;
    return WithPad(pad, [&](SDL_Joystick* j) {
        return SDL_JoystickSetVirtualAxis(j, axis, static_cast<Sint16>(value));
    });
}

int VirtualPadUnplug(int pad) {
    ENGINE_ENTRY;
    const int index = DeviceIndexOf(pad);
    return index >= 0 && SDL_JoystickDetachVirtual(index) == 0 ? 0 : -1;
}

int VirtualPadDevices() {
    ENGINE_ENTRY;
    return SDL_WasInit(SDL_INIT_JOYSTICK) != 0 ? SDL_NumJoysticks() : 0;
}
