// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "story/window.h"

#include "data/script_table.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/language.h"
#include "game/pad.h"
#include "game/run.h"
#include "story/scenes.h"
#include "story/script.h"

#include <cstring>

ScreenFadeRecord ScreenFade = {};
int32_t StorySide = -1;
char WindowRows[WindowRowCount][2 * RowCharacters + 1] = {};
int32_t WriteRow = 0;
int32_t WriteColumn = 0;
int32_t WaitingAtB = 0;
int32_t ReplayCount = 0;
int32_t WindowVisible = 1;
int32_t CursorBlink = 0;
int32_t CursorFrame = 0;

namespace {

// How each language's script is read. A Latin character is half as wide as a double-byte one, so
// twice as many fit a row and twice as many are read per frame: a row fills as fast on screen.
struct ScriptFormatRecord {
    const char (*table)[100][200];
    int32_t textBytes;        // bytes per text character
    int32_t elementsPerFrame; // codes or characters read per frame
};
constexpr ScriptFormatRecord ScriptFormats[LanguageCount] = {
    {ScriptTable, 2, 9},
    {ScriptTableEnglish, 1, 18},
};

const ScriptFormatRecord& ScriptFormat() {
    return ScriptFormats[CurrentLanguage >= 0 && CurrentLanguage < LanguageCount ? CurrentLanguage
                                                                                 : 0];
}

// AMENDED: button 3 at a page's end acts once per press, however often the page's end is read.
bool WindowToggledThisFrame = false;

char ByteAt(const ScriptPositionRecord& at) {
    if (at.block < 0 || at.block >= 10 || at.line < 0 || at.line >= 100 || at.offset < 0 ||
        at.offset >= 200) {
        return 0;
    }
    return ScriptFormat().table[at.block][at.line][at.offset];
}

void ClearRows() {
    std::memset(WindowRows, 0, sizeof WindowRows);
    WriteRow = 0;
    WriteColumn = 0;
}

void WriteCharacter(char lead, char trail) {
    WindowRows[WriteRow][2 * WriteColumn] = lead;
    WindowRows[WriteRow][2 * WriteColumn + 1] = trail;
    ++WriteColumn;
    ScriptPosition.offset += 2;
    if (WriteColumn == RowCharacters) {
        NewRow();
    }
}

// A Latin character: one byte, its top bit cleared; the row holds twice as many.
void WriteLatinCharacter(char stored) {
    WindowRows[WriteRow][WriteColumn] = static_cast<char>(stored & 0x7F);
    ++WriteColumn;
    ++ScriptPosition.offset;
    if (WriteColumn == 2 * RowCharacters) {
        NewRow();
    }
}

void StartFade(int kind, int alpha) {
    ScreenFade.active = 1;
    ScreenFade.kind = kind;
    ScreenFade.alpha = alpha;
    ScreenFade.phase = 0;
}

// The page's end: advance, step back one line, hide or show the window, or fast-forward.
// Returns true when reading stops for this frame.
bool WaitAtPageEnd() {
    WaitingAtB = 1;
    bool advance = false;
    if (ButtonHold[HoldButton1] == 1) {
        advance = true;
    } else if (ButtonHold[HoldButton2] == 1) {
        if (WindowVisible == 1 && ScriptPosition.line > 0) {
            --ScriptPosition.line;
            ScriptPosition.offset = 0;
            WaitingAtB = 0;
            ReplayCount = ReplayCount == 0 ? -2 : ReplayCount - 1;
            return true;
        }
        return false;
    } else if (ButtonHold[HoldButton3] == 1) {
        if (!WindowToggledThisFrame) {
            WindowVisible = WindowVisible == 1 ? 0 : 1;
            WindowToggledThisFrame = true;
        }
        return false;
    } else if ((PadState & PadButton4) != 0) {
        advance = true;
    }
    if (!advance || WindowVisible != 1) {
        return false;
    }
    ++ScriptPosition.offset;
    if (ReplayCount < 0) {
        ++ReplayCount;
    }
    WaitingAtB = 0;
    return true;
}

void PlayEffect(int handle) {
    PlaySoundHandle(handle, PlayOnce, FromStart);
    ++ScriptPosition.offset;
}

// One code or one text character. Returns true when reading stops for this frame.
bool ReadElement() {
    const char code = ByteAt(ScriptPosition);
    const bool replay = ReplayCount < 0;
    switch (code) {
    case 'C':
        ClearRows();
        ++ScriptPosition.offset;
        break;
    case '@':
        NewRow();
        ++ScriptPosition.offset;
        break;
    case 'B':
        if (WaitAtPageEnd()) {
            return true;
        }
        break;
    case 'E':
        if (!replay) {
            ++StoryStep;
        }
        ++ScriptPosition.offset;
        break;
    case 'S':
        if (replay) {
            ++ScriptPosition.offset; // held until a story action or a fade moves the line
        }
        break;
    case 'F':
        if (!replay) {
            StartFade(2, 0);
        }
        ++ScriptPosition.offset;
        break;
    case 'f':
        if (!replay) {
            StartFade(1, 255);
        }
        ++ScriptPosition.offset;
        break;
    case 'A':
    case 'G':
        if (replay) {
            ++ScriptPosition.offset;
        } else {
            // Out through black; the fade moves past the code when the screens switch.
            ScreenFade.active = 1;
            ScreenFade.kind = 0;
        }
        break;
    case 'Q':
        if (!replay) {
            StagePhase = 0;
            ClearRows();
        }
        ++ScriptPosition.offset;
        break;
    case 'N':
        ++ScriptPosition.block;
        ScriptPosition.line = 0;
        ScriptPosition.offset = 0;
        break;
    case 'X':
        GameMode = ModeEndingRoll;
        StorySide = 0;
        break;
    case '7':
        StopAllMusic();
        ++ScriptPosition.offset;
        break;
    case 'd':
        PlayEffect(WavHeart);
        break;
    case 'p':
        PlayEffect(Wav119In);
        break;
    case 'P':
        PlayEffect(Wav119Out);
        break;
    case 'b':
        PlayEffect(WavBrake);
        break;
    case 's':
        PlayEffect(WavShock);
        break;
    default:
        if (code >= '0' && code <= '6') {
            MusicSelect = code - '0';
            StartMusic();
            ++ScriptPosition.offset;
        } else if (ScriptFormat().textBytes == 1) {
            WriteLatinCharacter(code);
        } else {
            // A text character: this byte and the next, never looked at, as one character.
            const ScriptPositionRecord trail{ScriptPosition.block, ScriptPosition.line,
                                             ScriptPosition.offset + 1};
            WriteCharacter(code, ByteAt(trail));
        }
        break;
    }
    if (ByteAt(ScriptPosition) == 0) {
        ++ScriptPosition.line;
        ScriptPosition.offset = 0;
    }
    return false;
}

void AdvanceFade() {
    ScreenFadeRecord& fade = ScreenFade;
    switch (fade.kind) {
    case 0:
        fade.alpha += 5;
        if (fade.alpha >= 255) {
            if (StorySide == -1) {
                ++ScriptPosition.offset;
                StorySide = 1;
                fade.kind = 1;
                GameMode = ModeStory;
            } else if (StorySide == 1) {
                ++ScriptPosition.offset;
                GameMode = ModeStage;
                fade.kind = 1;
                StorySide = -1;
            }
        }
        break;
    case 1:
        fade.alpha -= 5;
        if (fade.alpha <= 0) {
            fade.kind = 0;
            fade.active = 0;
        }
        break;
    case 2:
        if (fade.phase == 0) {
            fade.alpha += 5;
            if (fade.alpha >= 255) {
                ++StoryStep;
                ++ScriptPosition.line;
                ScriptPosition.offset = 0;
                fade.phase = 1;
            }
        } else {
            fade.alpha -= 5;
            if (fade.alpha <= 0) {
                fade.phase = 0;
                fade.active = 0;
            }
        }
        break;
    default:
        break;
    }
}

} // namespace

void NewRow() {
    ++WriteRow;
    WriteColumn = 0;
    if (WriteRow == WindowRowCount) {
        for (int row = 1; row < WindowRowCount; ++row) {
            std::memcpy(WindowRows[row - 1], WindowRows[row], 2 * RowCharacters);
        }
        std::memset(WindowRows[WindowRowCount - 1], 0, sizeof WindowRows[0]);
        WriteRow = WindowRowCount - 1;
    }
}

void MessageTextStep() {
    if (StagePhase != 1) {
        return;
    }
    SetTextSize(18);
    WindowToggledThisFrame = false;
    for (int element = 0; element < ScriptFormat().elementsPerFrame; ++element) {
        if (ReadElement()) {
            break;
        }
    }
}

void DrawMessageWindow() {
    if (StagePhase != 1) {
        return;
    }
    if (StorySide == 1) {
        // The story screen starts from normal blending, whatever the last frame left.
        SetBlendMode(BlendNone, 0);
        DrawImageAt(0, 0, PngBlack, 0);
        DrawStoryPicture();
    }
    if (WindowVisible == 1) {
        SetBlendMode(BlendAlpha, 200);
        DrawRectangle(10, 380, 630, 470, MakeColor(0, 0, 0), 1);
        SetBlendMode(BlendAlpha, 255);
        const uint32_t colour =
            ReplayCount < 0 ? MakeColor(150, 150, 150) : MakeColor(255, 255, 255);
        for (int row = 0; row < WindowRowCount; ++row) {
            DrawTextAt(23, 380 + 18 * row, WindowRows[row], colour, 0);
        }
        if (WaitingAtB == 1) {
            ++CursorBlink;
            if (CursorBlink > 10) {
                CursorFrame = 18;
            }
            if (CursorBlink > 20) {
                CursorFrame = 0;
                CursorBlink = 0;
            }
            DrawImageRegion(610, 450, CursorFrame, 0, 18, 18, PngButton, 1, 0);
        }
    }
    if (ScreenFade.active == 1) {
        SetBlendMode(BlendAlpha, ScreenFade.alpha);
        DrawRectangle(0, 0, 640, 480, MakeColor(0, 0, 0), 1);
        AdvanceFade();
    }
}
