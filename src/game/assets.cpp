// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "game/assets.h"

#include "engine/engine.h"
#include "game/engine_names.h"
#include "game/language.h"
#include "game/run.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

int32_t WavCheck = -1, WavHit = -1, WavSelect = -1, WavGet = -1, WavLanding = -1, WavAtc1 = -1,
        WavAtc2 = -1, WavGun1 = -1, WavGun2 = -1, WavBook1 = -1, WavBook2 = -1, WavDog = -1,
        WavCrow = -1, WavDeath = -1, WavSpider = -1, WavSpikes = -1, WavHeart = -1, Wav119In = -1,
        Wav119Out = -1, WavShock = -1, WavBrake = -1, WavError = -1;
int32_t BgmAdv1 = -1, BgmAdv2 = -1, BgmAdv3 = -1, BgmTitle = -1, BgmEnding = -1, BgmStage = -1,
        BgmBoss = -1;

int32_t PngMap = -1, PngPlayer = -1, PngItemBear = -1, PngItemBall = -1, PngItemHopping = -1,
        PngItemGun = -1, PngItemBook = -1, PngTitle = -1, PngOver = -1, PngClear = -1, PngItem = -1,
        PngRitem = -1, PngEnemy1 = -1, PngEnemy2 = -1, PngEnemy3 = -1, PngEnemyB1 = -1,
        PngEnemyB2 = -1, PngEnemyB3 = -1, PngEnemyB4 = -1, PngChange = -1, PngCg01 = -1,
        PngCg02 = -1, PngCg03 = -1, PngCg04 = -1, PngCg05 = -1, PngCg06 = -1, PngShots = -1,
        PngArrow = -1, PngLight = -1, PngCar = -1, PngBlack = -1, PngRed = -1, PngEnding = -1,
        PngExtra = -1, PngWeeks = -1, PngFog1 = -1, PngFog2 = -1, PngIndication = -1,
        PngButton = -1;
int32_t PngLogo = -1, PngLoad = -1;

int32_t SceneryFar = -1, SceneryNear = -1, ScenerySlow = -1, SceneryArena = -1;

int32_t StoryStoppedMusic = 0;

namespace {

void StopAllTracks() {
    for (int32_t track : {BgmTitle, BgmAdv1, BgmAdv2, BgmAdv3, BgmStage, BgmBoss, BgmEnding}) {
        StopSoundHandle(track);
    }
}

struct CatalogueEntry {
    int32_t* handle;
    const char* path;
};

constexpr CatalogueEntry Sounds[] = {
    {&WavCheck, "snd\\wav_check.wav"},     {&WavHit, "snd\\wav_hit.wav"},
    {&WavSelect, "snd\\wav_select.wav"},   {&WavGet, "snd\\wav_get.wav"},
    {&WavLanding, "snd\\wav_chakuti.wav"}, {&WavAtc1, "snd\\wav_atc1.wav"},
    {&WavAtc2, "snd\\wav_atc2.wav"},       {&WavGun1, "snd\\wav_gun1.wav"},
    {&WavGun2, "snd\\wav_gun2.wav"},       {&WavBook1, "snd\\wav_book1.wav"},
    {&WavBook2, "snd\\wav_book2.wav"},     {&WavDog, "snd\\wav_dog.wav"},
    {&WavCrow, "snd\\wav_kara.wav"},       {&WavDeath, "snd\\wav_death.wav"},
    {&WavSpider, "snd\\wav_spider.wav"},   {&WavSpikes, "snd\\wav_hari.wav"},
    {&WavHeart, "snd\\wav_heart.wav"},     {&Wav119In, "snd\\wav_119in.wav"},
    {&Wav119Out, "snd\\wav_119out.wav"},   {&WavShock, "snd\\wav_shock.wav"},
    {&WavBrake, "snd\\wav_brake.wav"},     {&WavError, "snd\\wav_error.wav"},
    {&BgmAdv1, "snd\\BGM_adv1.mp3"},       {&BgmAdv2, "snd\\BGM_adv2.mp3"},
    {&BgmAdv3, "snd\\BGM_adv3.mp3"},       {&BgmTitle, "snd\\BGM_title.mp3"},
    {&BgmEnding, "snd\\BGM_ending.mp3"},   {&BgmStage, "snd\\BGM_stage.mp3"},
    {&BgmBoss, "snd\\BGM_boss.mp3"},
};

constexpr CatalogueEntry Images[] = {
    {&PngMap, "png\\map.png"},
    {&PngPlayer, "png\\player.png"},
    {&PngItemBear, "png\\Item_kuma.png"},
    {&PngItemBall, "png\\Item_Ball.png"},
    {&PngItemHopping, "png\\Item_Hopping.png"},
    {&PngItemGun, "png\\Item_gun.png"},
    {&PngItemBook, "png\\Item_Book.png"},
    {&PngTitle, "png\\title.png"},
    {&PngOver, "png\\over.png"},
    {&PngClear, "png\\clear.png"},
    {&PngItem, "png\\Item.png"},
    {&PngRitem, "png\\ritem.png"},
    {&PngEnemy1, "png\\enemy1.png"},
    {&PngEnemy2, "png\\enemy2.png"},
    {&PngEnemy3, "png\\enemy3.png"},
    {&PngEnemyB1, "png\\enemyB1.png"},
    {&PngEnemyB2, "png\\enemyB2.png"},
    {&PngEnemyB3, "png\\enemyB3.png"},
    {&PngEnemyB4, "png\\enemyB4.png"},
    {&SceneryFar, "png\\stage10.png"},
    {&SceneryNear, "png\\stage11.png"},
    {&ScenerySlow, "png\\stage12.png"},
    {&SceneryArena, "png\\stage1b.png"},
    {&PngChange, "png\\change.png"},
    {&PngCg01, "png\\cg01.png"},
    {&PngCg02, "png\\cg02.png"},
    {&PngCg03, "png\\cg03.png"},
    {&PngCg04, "png\\cg04.png"},
    {&PngCg05, "png\\cg05.png"},
    {&PngCg06, "png\\cg06.png"},
    {&PngShots, "png\\tama.png"},
    {&PngArrow, "png\\yaji.png"},
    {&PngLight, "png\\light.png"},
    {&PngCar, "png\\car.png"},
    {&PngBlack, "png\\black.png"},
    {&PngRed, "png\\red.png"},
    {&PngEnding, "png\\ending.png"},
    {&PngExtra, "png\\extra.png"},
    {&PngWeeks, "png\\weeks.png"},
    {&PngFog1, "png\\fog1.png"},
    {&PngFog2, "png\\fog2.png"},
    {&PngIndication, "png\\indication.png"},
    {&PngButton, "png\\button.png"},
};

int32_t* const ScenerySlots[4] = {&SceneryFar, &SceneryNear, &ScenerySlow, &SceneryArena};

// Scenery pictures of stages 1 to 4 and the EX stage (5); stage 4 keeps stage 3's far and slow
// layers (nullptr: the slot is left as it is).
constexpr const char* SceneryFiles[6][4] = {
    {nullptr, nullptr, nullptr, nullptr},
    {"png\\stage10.png", "png\\stage11.png", "png\\stage12.png", "png\\stage1b.png"},
    {"png\\stage20.png", "png\\stage21.png", "png\\stage22.png", "png\\stage2b.png"},
    {"png\\stage30.png", "png\\stage31.png", "png\\stage32.png", "png\\stage3b.png"},
    {nullptr, "png\\stage41.png", nullptr, "png\\stage4b.png"},
    {"png\\black.png", "png\\black.png", "png\\black.png", "png\\black.png"},
};

// Which stage's picture each scenery slot shows, so a display change can restore exactly what was
// on screen. AMENDED: deriving it from StageId alone brought stage 1's layers into stage 4 after
// F1.
int SceneryShown[4] = {1, 1, 1, 1};
int SceneryBeforeReload[4] = {1, 1, 1, 1};

} // namespace

void LoadAllSounds() {
    for (const CatalogueEntry& sound : Sounds) {
        *sound.handle = LoadSoundFile(sound.path, 3, -1);
    }
}

namespace {

// A picture with words is read from the language's own folder: png\en\title.png in English.
const char* PathInLanguage(const char* path, char (&buffer)[64]) {
    const char* name = path + 4; // after "png\\"
    if (CurrentLanguage == LanguageJapanese) {
        return path;
    }
    for (const char* withWords : PicturesWithWords) {
        if (std::strcmp(name, withWords) == 0) {
            std::snprintf(buffer, sizeof buffer, "png\\%s\\%s", LanguageName(CurrentLanguage),
                          name);
            return buffer;
        }
    }
    return path;
}

} // namespace

void ReloadAllImages() {
    // AMENDED: every picture is loaded afresh; dropping the old set first keeps memory flat however
    // often the game returns to the title.
    ReleaseAllImages(0);
    PngLogo = -1;
    PngLoad = -1;
    for (const CatalogueEntry& image : Images) {
        char buffer[64];
        *image.handle = LoadImageFile(PathInLanguage(image.path, buffer), 0);
    }
    for (int slot = 0; slot < 4; ++slot) {
        SceneryBeforeReload[slot] = SceneryShown[slot];
        SceneryShown[slot] = 1;
    }
}

void LoadStageScenery(int stage) {
    if (stage < 2 || stage > 5) {
        return;
    }
    for (int slot = 0; slot < 4; ++slot) {
        if (SceneryFiles[stage][slot] != nullptr) {
            // The slot's old picture is no longer reachable by any handle: free it, so memory
            // stays flat from stage to stage.
            ReleaseImage(*ScenerySlots[slot]);
            *ScenerySlots[slot] = LoadImageFile(SceneryFiles[stage][slot], 0);
            SceneryShown[slot] = stage;
        }
    }
}

void ReloadSceneryAfterDisplayChange() {
    for (int slot = 0; slot < 4; ++slot) {
        const int stage = SceneryBeforeReload[slot];
        if (stage != 1) {
            ReleaseImage(*ScenerySlots[slot]);
            *ScenerySlots[slot] = LoadImageFile(SceneryFiles[stage][slot], 0);
            SceneryShown[slot] = stage;
        }
    }
}

void StopAllMusic() {
    StopAllTracks();
    StoryStoppedMusic = 1;
}

void StartMusic() {
    const int32_t tracks[7] = {BgmTitle, BgmAdv1, BgmAdv2, BgmAdv3, BgmStage, BgmBoss, BgmEnding};
    StoryStoppedMusic = 0;
    if (MusicSelect >= 0 && MusicSelect <= 6) {
        PlaySoundHandle(tracks[MusicSelect], PlayLoop, FromStart);
    } else if (MusicSelect == 7) {
        StopAllTracks();
    }
    SetSoundVolume(25, BgmStage);
    SetSoundVolume(25, BgmBoss);
    SetSoundVolume(204, BgmAdv1);
    SetSoundVolume(204, BgmAdv2);
    SetSoundVolume(204, BgmAdv3);
    SetSoundVolume(204, BgmTitle);
    SetSoundVolume(204, BgmEnding);
}
