// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Names for the numbers the game passes to the engine.
#pragma once

// PlaySoundHandle: how a sound plays, and that it starts from its beginning.
constexpr int PlayOnce = 1;
constexpr int PlayLoop = 3;
constexpr int FromStart = 1;

// SetBlendMode.
constexpr int BlendNone = 0;
constexpr int BlendAlpha = 1;
constexpr int BlendAdd = 2;
constexpr int BlendInvert = 3; // source x (1 - screen)

// ReadPadState: pad 1 merged with the keyboard.
constexpr int PadAndKeyboard = 0x1001;
// ReadPadState: pad 1 alone (its Start, Back and shoulders, which keys must not stand in for).
constexpr int PadOnly = 0x0001;
// SetDrawTarget: the back buffer.
constexpr int BackBuffer = -2;

// IsKeyDown: PC set-1 scan codes of the keys the game reads directly.
constexpr int KeyEscape = 0x01;
constexpr int KeyDigit1 = 0x02; // 1 to 5 follow on
constexpr int KeyF1 = 0x3B;
constexpr int KeyF11 = 0x57;
constexpr int KeyReturn = 0x1C;
constexpr int KeyPadEnter = 0x9C;
constexpr int KeyLeftAlt = 0x38;
constexpr int KeyRightAlt = 0xB8;
constexpr int KeyF5 = 0x3F;
constexpr int KeyF6 = 0x40;
constexpr int KeyF7 = 0x41;
constexpr int KeyF8 = 0x42;
constexpr int KeyF9 = 0x43;
