// Input: the keyboard folded into the pad bit set, OR-ed with pad 1.
#include "engine.h"
#include "internal.h"
#include "platform.h"

namespace {

struct KeyBit {
    int scanCode; // PC set-1; 0x80 marks the E0-prefixed cursor keys
    int bit;
};

constexpr KeyBit KeyTable[] = {
    {0x50, 0x0001}, {0xD0, 0x0001}, // down: numeric pad 2, cursor
    {0x4B, 0x0002}, {0xCB, 0x0002}, // left
    {0x4D, 0x0004}, {0xCD, 0x0004}, // right
    {0x48, 0x0008}, {0xC8, 0x0008}, // up
    {0x2C, 0x0010},                 // Z: button 1
    {0x2D, 0x0020},                 // X: button 2
    {0x2E, 0x0040},                 // C: button 3
    {0x1E, 0x0080},                 // A: button 4
    {0x1F, 0x0100},                 // S: button 5
    {0x20, 0x0200},                 // D: button 6
    {0x10, 0x0400},                 // Q: button 7
    {0x11, 0x0800},                 // W: button 8
    {0x01, 0x1000},                 // Escape: button 9
    {0x39, 0x2000},                 // Space: button 10
};

} // namespace

int ReadPadState(int inputType) {
    ENGINE_ENTRY;
    if (!engine::Running) {
        return 0;
    }
    platform::RefreshInput();
    int bits = 0;
    if ((inputType & 0x1000) != 0) {
        for (const KeyBit& key : KeyTable) {
            if (platform::KeyDown(key.scanCode)) {
                bits |= key.bit;
            }
        }
    }
    if ((inputType & 0x0FFF) == 1) {
        bits |= static_cast<int>(platform::PadBits());
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
