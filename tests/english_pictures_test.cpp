// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The English game shows no Japanese glyph: neither in the texts it draws (the prologue, a stage
// banner, the results, the extras) nor in the words of the pictures it loads.
#include "game/assets.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// The first character of a UTF-8 text that is not Latin (letters and the punctuation English sets
// with them: dashes, quotes, the ellipsis), or 0 when there is none.
uint32_t FirstNotLatin(const std::string& utf8) {
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (size_t k = 1; k <= extra && i + k < utf8.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        if (!((cp >= 0x20 && cp < 0x7F) || (cp >= 0xA0 && cp < 0x250) ||
              (cp >= 0x2010 && cp < 0x2027))) {
            return cp;
        }
        i += extra + 1;
    }
    return 0;
}

// Picture -> its words, from a list the picture generator writes.
std::map<std::string, std::vector<std::string>> WordsOf(const std::string& path) {
    std::map<std::string, std::vector<std::string>> words;
    for (const std::string& line : test::ReadLines(path)) {
        std::istringstream fields(line);
        std::string picture, skip, word; // the picture, six numbers, the words
        fields >> picture >> skip >> skip >> skip >> skip >> skip >> skip >> std::ws;
        std::getline(fields, word);
        words[picture].push_back(word);
    }
    return words;
}

TEST(EnglishPictures, EveryPictureWithJapaneseWordsHasAnEnglishOneOfLatinWords) {
    const std::set<std::string> listed(std::begin(PicturesWithWords), std::end(PicturesWithWords));
    const auto japanese = WordsOf(PICTURES_WORDS);
    const auto english = WordsOf(PICTURES_WORDS_EN);
    ASSERT_FALSE(japanese.empty()) << PICTURES_WORDS;
    for (const auto& [picture, words] : japanese) {
        const bool latin = std::all_of(words.begin(), words.end(),
                                       [](const std::string& w) { return FirstNotLatin(w) == 0; });
        EXPECT_TRUE(latin || listed.count(picture))
            << picture << " has Japanese words, the game loads it in every language";
    }
    // The game's list, the English words and png/en/ name the same pictures.
    std::set<std::string> drawn, files;
    for (const auto& [picture, words] : english) {
        drawn.insert(picture);
        for (const std::string& word : words) {
            EXPECT_EQ(FirstNotLatin(word), 0u) << picture << ": \"" << word << "\"";
        }
    }
    for (const auto& entry : fs::directory_iterator(fs::path(TOVARINE_DATA_DIR) / "png" / "en")) {
        files.insert(entry.path().filename().string());
    }
    EXPECT_EQ(drawn, listed);
    EXPECT_EQ(files, listed);
}

class EnglishGame : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* data : {"png", "snd"}) {
            fs::create_directory_symlink(fs::path(TOVARINE_DATA_DIR) / data, dir_.path() / data);
        }
    }
    // Plays the keys in English and expects no Japanese in the drawn texts (in Shift-JIS every
    // double-byte character and half-width kana has a byte of 0x80 or more); returns them by frame.
    std::map<int, std::string> Play(const std::string& keys, int frames, const std::string& shots) {
        const std::string command = std::string(TOVARINE_HEADLESS) + " --lang en --input " + keys +
                                    " --frames " + std::to_string(frames) +
                                    " --texts texts.txt --shot " + shots + " 2>stderr.txt";
        EXPECT_EQ(test::Run(command, dir_.path()), 0) << command;
        std::map<int, std::string> texts;
        for (const std::string& line : test::ReadLines(dir_.file("texts.txt"))) {
            const size_t tab = line.find('\t');
            texts[std::stoi(line.substr(0, tab))] += line.substr(tab + 1) + "\n";
        }
        EXPECT_EQ(test::ReadFile(dir_.file("Log.txt")).find("cannot read"), std::string::npos)
            << "a picture is missing";
        EXPECT_FALSE(texts.empty());
        for (const auto& [frame, text] : texts) {
            EXPECT_TRUE(std::all_of(text.begin(), text.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
                << "frame " << frame << ": " << text;
        }
        return texts;
    }
    test::ScratchDir dir_;
};

TEST_F(EnglishGame, ThePrologueAStageBannerAndTheResultsDrawNoJapanese) {
    // The recorded English game up to stage 2: the prologue from frame 173, stage 1's results at
    // 4833, stage 2's banner at 4850.
    const auto texts = Play(std::string(TOVARINE_SOURCE_DIR) + "/tests/english/full.en.keys", 4860,
                            "184,4833,4850");
    EXPECT_NE(texts.at(184).find("Button"), std::string::npos) << texts.at(184);
    EXPECT_NE(texts.at(4833).find("Total"), std::string::npos) << texts.at(4833);
    for (int shot : {184, 4833, 4850}) {
        EXPECT_TRUE(fs::exists(dir_.file("shot-" + std::to_string(shot) + ".png"))) << shot;
    }
}

TEST_F(EnglishGame, TheExtrasDrawNoJapanese) {
    std::ofstream(dir_.file("keys.txt")) << "172 down\n174\n180 down\n182\n190 z\n192\n";
    const auto texts = Play("keys.txt", 260, "250");
    EXPECT_NE(texts.at(250).find("Play Stage EX"), std::string::npos) << texts.at(250);
}

} // namespace
