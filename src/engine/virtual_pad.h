// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Test hooks of the SDL engine: pads that exist only inside SDL, plugged, pressed and pulled while
// the game runs, so tests can try hot-plugging without hardware. The game never includes this.
#pragma once

// Plugs a pad and returns its id, or -1. A controller pad has the standard layout (face buttons
// first, then the shoulders, ..., the direction pad); a plain joystick has `buttons` buttons, two
// axes and a hat, and no layout SDL knows.
int VirtualPadPlug(bool controller, int buttons);
// Pad button numbers count from 0 in the device's own order; 0 or -1.
int VirtualPadSetButton(int pad, int button, bool down);
int VirtualPadSetAxis(int pad, int axis, int value); // -32768..32767
// Pulls the pad out; 0 or -1.
int VirtualPadUnplug(int pad);
// Pads the engine's SDL side sees plugged in, real or virtual.
int VirtualPadDevices();
