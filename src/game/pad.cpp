// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "game/pad.h"

#include "engine/engine.h"
#include "game/engine_names.h"

int32_t PadState = 0;
int32_t ButtonMask[10] = {};
int32_t ButtonHold[10] = {};

void ResetButtons() {
    static constexpr int32_t Masks[10] = {PadUp,      PadDown,    PadLeft,    PadRight,
                                          PadButton1, PadButton2, PadButton3, PadButton4,
                                          PadButton5, PadButton6};
    for (int i = 0; i < 10; ++i) {
        ButtonMask[i] = Masks[i];
        ButtonHold[i] = 0;
    }
}

void ReadButtons() {
    PadState = ReadPadState(PadAndKeyboard);
    for (int i = 0; i < 10; ++i) {
        ButtonHold[i] = (PadState & ButtonMask[i]) != 0 ? ButtonHold[i] + 1 : 0;
    }
}
