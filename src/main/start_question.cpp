// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "main/start_question.h"

#include "data/texts.h"
#include "engine/engine.h"
#include "game/engine_names.h"
#include "game/pad.h"

#include <cstdint>

namespace {

constexpr int PadButton10 = 0x2000; // Space

struct Choice {
    const GameText* text;
    int answer;
};
// In the order of the desktop's box; "Yes" is chosen at first, as Return chooses it there.
constexpr Choice Choices[] = {
    {&TextAnswerYes, AnswerYes},
    {&TextAnswerNo, AnswerNo},
    {&TextAnswerCancel, AnswerCancel},
};
constexpr int ChoiceCount = 3;
int Chosen = 0;

constexpr int ButtonWidth = 128;
constexpr int ButtonHeight = 44;
constexpr int ButtonGap = 24;
constexpr int ButtonTop = 268;

void DrawCentred(int centreX, int y, const char* text, uint32_t color) {
    DrawTextAt(centreX - GetTextWidth(text) / 2, y, text, color, 0);
}

// The question on a quiet panel, the chosen answer filled.
void DrawQuestion() {
    DrawRectangle(0, 0, 640, 480, MakeColor(12, 14, 28), 1);
    DrawRectangle(72, 150, 568, 350, MakeColor(30, 36, 64), 1);
    DrawRectangle(72, 150, 568, 350, MakeColor(128, 144, 200), 0);
    SelectFontFace(TextFontFace, -1);
    SetTextStyle(2);
    SetTextSize(24);
    DrawCentred(320, 190, TextFullScreenQuestion, MakeColor(255, 255, 255));
    SetTextSize(20);
    const int left = 320 - (ChoiceCount * ButtonWidth + (ChoiceCount - 1) * ButtonGap) / 2;
    for (int i = 0; i < ChoiceCount; ++i) {
        const int x = left + i * (ButtonWidth + ButtonGap);
        const bool chosen = i == Chosen;
        if (chosen) {
            DrawRectangle(x, ButtonTop, x + ButtonWidth, ButtonTop + ButtonHeight,
                          MakeColor(236, 240, 255), 1);
        }
        DrawRectangle(x, ButtonTop, x + ButtonWidth, ButtonTop + ButtonHeight,
                      MakeColor(200, 210, 250), 0);
        DrawCentred(x + ButtonWidth / 2, ButtonTop + 11, *Choices[i].text,
                    chosen ? MakeColor(20, 24, 48) : MakeColor(220, 226, 250));
    }
    SetTextStyle(0);
    SetTextSize(16);
}

} // namespace

int AskInGameWindow() {
    Chosen = 0;
    // Keys held since before the question (the Return that started the game) answer nothing.
    bool released = false;
    bool moveHeld = false;
    while (ProcessMessage() == 0) {
        const int pad = ReadPadState(PadAndKeyboard);
        const bool confirm = (pad & (PadButton1 | PadButton10)) != 0 || IsKeyDown(KeyReturn) != 0 ||
                             IsKeyDown(KeyPadEnter) != 0;
        const bool cancel = IsKeyDown(KeyEscape) != 0;
        const int move = (pad & (PadRight | PadDown)) != 0 ? 1
                         : (pad & (PadLeft | PadUp)) != 0  ? -1
                                                           : 0;
        if (!released) {
            released = !confirm && !cancel && move == 0;
        } else if (cancel) {
            return AnswerCancel;
        } else if (confirm) {
            return Choices[Chosen].answer;
        } else if (move != 0 && !moveHeld) {
            Chosen = (Chosen + move + ChoiceCount) % ChoiceCount;
        }
        moveHeld = move != 0;
        DrawQuestion();
        FlipScreen();
    }
    return AnswerCancel;
}
