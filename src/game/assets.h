// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The asset catalogue: one handle per picture and sound file, loaded once in the asset-load frame.
// A handle of -1 (a missing file) draws and plays nothing. Handles have English names; the files
// keep theirs (WavLanding is "wav_chakuti.wav", WavCrow "wav_kara.wav", WavSpikes "wav_hari.wav",
// PngItemBear "Item_kuma.png", PngShots "tama.png", PngArrow "yaji.png").
#pragma once

#include <cstdint>

// Sounds.
extern int32_t WavCheck, WavHit, WavSelect, WavGet, WavLanding, WavAtc1, WavAtc2, WavGun1, WavGun2,
    WavBook1, WavBook2, WavDog, WavCrow, WavDeath, WavSpider, WavSpikes, WavHeart, Wav119In,
    Wav119Out, WavShock, WavBrake, WavError;
// Music.
extern int32_t BgmAdv1, BgmAdv2, BgmAdv3, BgmTitle, BgmEnding, BgmStage, BgmBoss;

// Pictures.
extern int32_t PngMap, PngPlayer, PngItemBear, PngItemBall, PngItemHopping, PngItemGun, PngItemBook,
    PngTitle, PngOver, PngClear, PngItem, PngRitem, PngEnemy1, PngEnemy2, PngEnemy3, PngEnemyB1,
    PngEnemyB2, PngEnemyB3, PngEnemyB4, PngChange, PngCg01, PngCg02, PngCg03, PngCg04, PngCg05,
    PngCg06, PngShots, PngArrow, PngLight, PngCar, PngBlack, PngRed, PngEnding, PngExtra, PngWeeks,
    PngFog1, PngFog2, PngIndication, PngButton;
// Loaded by their own modes: the logo and the loading picture.
extern int32_t PngLogo, PngLoad;

// The current stage's scenery: far layer, near layer, slow layer and the boss-area backdrop.
extern int32_t SceneryFar, SceneryNear, ScenerySlow, SceneryArena;

// The pictures with words in them, which the build draws once more for every other language
// (png\en\ for English); every other picture serves all languages.
inline constexpr const char* PicturesWithWords[] = {"title.png", "over.png", "extra.png",
                                                    "ending.png", "indication.png"};

// Loads every sound of the catalogue, in its fixed order.
void LoadAllSounds();
// Loads every picture of the catalogue again, in its fixed order, with stage 1's scenery; the
// pictures with words in the current language.
void ReloadAllImages();
// The scenery of stage 2, 3 or 4, or of the EX stage (5): black pictures.
void LoadStageScenery(int stage);
// After a display change: brings back the scenery that was shown before it.
void ReloadSceneryAfterDisplayChange();
// 1 from the story's stop of all music until StartMusic runs again: MusicSelect still names the
// track the stage wants, but nothing plays.
extern int32_t StoryStoppedMusic;

// Starts the looped track chosen by MusicSelect (7: stops all seven), then sets the volumes.
void StartMusic();
// Stops all seven music tracks: the story's code 7. Notes it in StoryStoppedMusic.
void StopAllMusic();
