// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Input: the keyboard folded into the pad bit set, OR-ed with pad 1.
#include "engine.h"
#include "internal.h"
#include "platform.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

struct KeyBit {
    int scanCode; // PC set-1; 0x80 marks the E0-prefixed cursor keys
    int bit;
    bool main; // the player may put another key in its place
};

constexpr KeyBit DefaultKeys[] = {
    {0x50, 0x0001, false}, {0xD0, 0x0001, true}, // down: numeric pad 2, cursor
    {0x4B, 0x0002, false}, {0xCB, 0x0002, true}, // left
    {0x4D, 0x0004, false}, {0xCD, 0x0004, true}, // right
    {0x48, 0x0008, false}, {0xC8, 0x0008, true}, // up
    {0x2C, 0x0010, true},                        // Z: button 1
    {0x2D, 0x0020, true},                        // X: button 2
    {0x2E, 0x0040, true},                        // C: button 3
    {0x1E, 0x0080, true},                        // A: button 4
    {0x1F, 0x0100, false},                       // S: button 5
    {0x20, 0x0200, false},                       // D: button 6
    {0x10, 0x0400, false},                       // Q: button 7
    {0x11, 0x0800, false},                       // W: button 8
    {0x01, 0x1000, false},                       // Escape: button 9
    {0x39, 0x2000, false},                       // Space: button 10
};
KeyBit KeyTable[std::size(DefaultKeys)] = {};
bool KeysReady = false;

// Which pad bit each of the pad's 24 buttons sets: button n sets bit 0x10 << n until the player
// gives a button's bit to another one.
int ButtonBit[24] = {};
bool ButtonsReady = false;

void PrepareTables() {
    if (!KeysReady) {
        std::copy(std::begin(DefaultKeys), std::end(DefaultKeys), KeyTable);
        KeysReady = true;
    }
    if (!ButtonsReady) {
        for (int n = 0; n < 24; ++n) {
            ButtonBit[n] = 0x10 << n;
        }
        ButtonsReady = true;
    }
}

} // namespace

int SetKeyOfPadBit(int padBit, int scanCode) {
    ENGINE_ENTRY;
    PrepareTables();
    if (scanCode < 0 || scanCode > 255) {
        return -1;
    }
    for (KeyBit& key : KeyTable) {
        if (key.main && key.bit == padBit) {
            key.scanCode = scanCode;
            return 0;
        }
    }
    return -1;
}

int SetPadButtonOfPadBit(int padBit, int button) {
    ENGINE_ENTRY;
    PrepareTables();
    if (button < 1 || button > 24) {
        return -1;
    }
    // The button that had the bit takes the bit of the one chosen: a swap, nothing lost.
    for (int n = 0; n < 24; ++n) {
        if (ButtonBit[n] == padBit) {
            std::swap(ButtonBit[n], ButtonBit[button - 1]);
            return 0;
        }
    }
    return -1;
}

int ResetInputMapping() {
    ENGINE_ENTRY;
    KeysReady = false;
    ButtonsReady = false;
    PrepareTables();
    return 0;
}

int ReadPadState(int inputType) {
    ENGINE_ENTRY;
    if (!engine::Running) {
        return 0;
    }
    platform::RefreshInput();
    PrepareTables();
    int bits = 0;
    if ((inputType & 0x1000) != 0) {
        for (const KeyBit& key : KeyTable) {
            if (platform::KeyDown(key.scanCode)) {
                bits |= key.bit;
            }
        }
    }
    if ((inputType & 0x0FFF) == 1) {
        const uint32_t pad = platform::PadBits();
        bits |= static_cast<int>(pad & 0xF);
        for (int n = 0; n < 24; ++n) {
            if ((pad & (0x10u << n)) != 0) {
                bits |= ButtonBit[n];
            }
        }
    }
    return bits;
}

int IsKeyDown(int scanCode) {
    ENGINE_ENTRY;
    if (!engine::Running) {
        return 0;
    }
    platform::RefreshInput();
    return platform::KeyDown(scanCode) ? 1 : 0;
}

int ReadPadButtons() {
    ENGINE_ENTRY;
    if (!engine::Running) {
        return 0;
    }
    platform::RefreshInput();
    return static_cast<int>((platform::PadBits() >> 4) & 0xFFFFFFu);
}
