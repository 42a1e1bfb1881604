// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Turns the story script (src/data/script.txt, UTF-8) into the game's script table: ten blocks of
// a hundred 200-byte lines of Shift-JIS (code page 932) text mixed with one-byte control codes.
//
// The game reads the table blindly, so everything it relies on is checked here and a broken
// script stops the build: line lengths, double-byte text, known codes, the size of every scene,
// the lines whose codes the scenes hang their events on, and pages that fit the message window.
// Errors are reported as file:line: message; the exit status is then 1.
//
// A script in a Latin-letter language (English) is written differently and read against the
// Japanese one: its codes stand in braces, {C@f}, and everything outside them is text, one byte
// per character, spaces included. The converter lays the words of every page into rows of 56
// characters (the width of 28 double-byte ones), breaking only between words, and writes the breaks
// as @ codes, so the window never splits a word; a page that needs more than four rows, or a line
// longer than a record, is refused. Every line must carry the same codes, in the same order, as
// the same line of the Japanese script, so scenes, sounds and music come at the same moments.
// In the table a Latin character is stored with its top bit set (0xA0 to 0xFE), so no character
// can be taken for a code; the window clears the bit again.
//
// Usage: scriptgen script.txt script_table.cpp
//        scriptgen --latin script.en.txt --like script.txt --table ScriptTableEnglish out.cpp
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kBlocks = 10;
constexpr int kLinesPerBlock = 100;
constexpr int kLineBytes = 200; // including the terminating zero
constexpr int kRowChars = 28;
constexpr int kLastRow = 4; // rows 1..4 carry text; each page opens with C@ on row 0

constexpr const char* kCodes = "C@BESFfAGQNX01234567dpPbs";
constexpr int kLatinRowChars = 2 * kRowChars;
constexpr unsigned char kLatinBit = 0x80;

// What each scene must hold: lines, pages (B codes) and text characters.
struct BlockSize {
    int lines;
    int pages;
    int chars;
};
constexpr BlockSize kBlockSizes[4] = {{68, 67, 973}, {32, 32, 486}, {33, 32, 1141}, {9, 8, 91}};

// The lines whose codes the scenes depend on, at their exact places. [n] stands for n text
// characters. Every other line reads C@ text B, with @ breaks inside.
struct FixedLine {
    int block;
    int line;
    const char* form;
};
constexpr FixedLine kFixedLines[] = {
    {0, 0, "C@f[6]B"},   {0, 14, "Cb@[6]ESB"},    {0, 15, "Cs@[19]B"},  {0, 16, "C@[16]EB"},
    {0, 17, "Cd@[21]B"}, {0, 19, "Cd@[9]B"},      {0, 21, "Cd@[20]B"},  {0, 23, "Cd@[19]B"},
    {0, 25, "Cd@[14]B"}, {0, 27, "Cd@[8]B"},      {0, 29, "C@[4]FSB"},  {0, 34, "Cp@[14]B"},
    {0, 42, "CP@[4]B"},  {0, 43, "C@G[4]B"},      {0, 59, "C7@[4]B"},   {0, 62, "C@[10]EB"},
    {0, 63, "C@[11]EB"}, {0, 66, "C@[7]EB"},      {0, 67, "QN"},        {1, 0, "C@B"},
    {1, 5, "C@A[4]B"},   {1, 8, "C@E[3]B"},       {1, 9, "C@[3]FSB"},   {1, 27, "C@[12]BC@[14]B"},
    {1, 31, "C@X"},      {2, 0, "C@f[12]@[26]B"}, {2, 12, "EQC@[27]B"}, {2, 29, "C@QB"},
    {2, 32, "C@[19]ES"}, {3, 0, "C@f[7]B"},       {3, 4, "EC@[15]B"},   {3, 5, "C@QB"},
    {3, 8, "C@X"},
};

struct ScriptLine {
    int sourceLine;    // line number in the script file
    std::string text;  // as written, UTF-8
    std::string bytes; // as the game reads it, Shift-JIS
    std::string form;  // codes, with each run of text written as [n]
    int pages = 0;
    int chars = 0;
};

struct Block {
    int sourceLine = 0; // the line of its [block N] marker; 0 while the block is absent
    std::vector<ScriptLine> lines;
};

class Converter {
  public:
    explicit Converter(std::string path) : path_(std::move(path)) {
        toSjis_ = iconv_open("CP932", "UTF-8");
    }
    ~Converter() {
        if (toSjis_ != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(toSjis_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Read();
    void Check();
    // Checks a Latin script against the Japanese one it translates (read with this one's rules).
    void CheckLike(const Converter& reference);
    std::string Source(const std::string& table) const;
    void SetLatin() {
        latin_ = true;
    }
    bool Failed() const {
        return errors_ > 0;
    }

  private:
    void Error(int line, const std::string& message) {
        std::cerr << path_ << ":" << line << ": " << message << "\n";
        ++errors_;
    }
    void AddLine(int block, int sourceLine, const std::string& text);
    void AddLatinLine(int block, int sourceLine, const std::string& text);
    void StoreLine(int block, ScriptLine line);
    bool Encode(const std::string& utf8, size_t& at, std::string& out, std::string& problem);
    void CheckForm(int block, int index, const ScriptLine& line);
    void CheckPages(const ScriptLine& line);

    std::string path_;
    iconv_t toSjis_;
    Block blocks_[kBlocks];
    int errors_ = 0;
    bool latin_ = false;
};

std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r");
    const size_t last = s.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

bool IsCode(char c) {
    return c != '\0' && std::strchr(kCodes, c) != nullptr;
}

// Converts the UTF-8 character at `at` and moves past it. The game takes every text character as
// two bytes, so anything that does not become exactly two bytes is refused.
bool Converter::Encode(const std::string& utf8, size_t& at, std::string& out,
                       std::string& problem) {
    const unsigned char lead = static_cast<unsigned char>(utf8[at]);
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (lead < 0xC0 || at + length > utf8.size()) {
        problem = "invalid UTF-8";
        at = utf8.size();
        return false;
    }
    const std::string character = utf8.substr(at, length);
    at += length;
    char in[8];
    std::memcpy(in, character.data(), length);
    char result[8];
    char* inPtr = in;
    size_t inLeft = length;
    char* outPtr = result;
    size_t outLeft = sizeof result;
    iconv(toSjis_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(toSjis_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
        problem = errno == EILSEQ ? "\"" + character + "\" has no Shift-JIS form" : "invalid UTF-8";
        return false;
    }
    if (outPtr - result != 2) {
        problem = "\"" + character + "\" is a single-byte character; text must be full-width";
        return false;
    }
    out.append(result, 2);
    return true;
}

void Converter::AddLine(int block, int sourceLine, const std::string& text) {
    ScriptLine line;
    line.sourceLine = sourceLine;
    line.text = text;
    int run = 0;
    const auto endRun = [&] {
        if (run > 0) {
            line.form += "[" + std::to_string(run) + "]";
            run = 0;
        }
    };
    for (size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (static_cast<unsigned char>(c) < 0x80) {
            ++at;
            if (IsCode(c)) {
                endRun();
                line.bytes += c;
                line.form += c;
                line.pages += c == 'B';
            } else if (c >= '!' && c <= '~') {
                Error(sourceLine,
                      std::string("unknown code '") + c + "' (text must be full-width)");
            } else {
                Error(sourceLine, "single-byte text (a space or control character); text must "
                                  "be full-width");
            }
            continue;
        }
        std::string problem;
        if (!Encode(text, at, line.bytes, problem)) {
            Error(sourceLine, problem);
            continue;
        }
        ++run;
        ++line.chars;
    }
    endRun();
    StoreLine(block, std::move(line));
}

void Converter::StoreLine(int block, ScriptLine line) {
    const int sourceLine = line.sourceLine;
    if (line.bytes.size() > kLineBytes - 1) {
        Error(sourceLine, "line is " + std::to_string(line.bytes.size()) +
                              " bytes in Shift-JIS; at most " + std::to_string(kLineBytes - 1) +
                              " fit");
    }
    Block& b = blocks_[block];
    if (static_cast<int>(b.lines.size()) == kLinesPerBlock) {
        Error(sourceLine, "block " + std::to_string(block) + " has more than " +
                              std::to_string(kLinesPerBlock) + " lines");
        return;
    }
    b.lines.push_back(std::move(line));
}

bool Converter::Read() {
    if (toSjis_ == reinterpret_cast<iconv_t>(-1)) {
        std::cerr << "scriptgen: no UTF-8 to CP932 converter in this C library\n";
        return false;
    }
    std::ifstream input(path_);
    if (!input) {
        std::cerr << path_ << ": cannot open\n";
        return false;
    }
    std::string raw;
    int number = 0;
    int block = -1;
    while (std::getline(input, raw)) {
        ++number;
        if (number == 1 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            raw.erase(0, 3);
        }
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            int n = -1;
            char close = 0;
            if (std::sscanf(line.c_str(), "[block %d%c", &n, &close) != 2 ||
                (close != ' ' && close != ']') || line.back() != ']' || n < 0 || n >= kBlocks) {
                Error(number, "expected a block marker [block N name] with N from 0 to 9");
                block = -1;
                continue;
            }
            if (blocks_[n].sourceLine != 0) {
                Error(number, "block " + std::to_string(n) + " was already started at line " +
                                  std::to_string(blocks_[n].sourceLine));
            }
            block = n;
            blocks_[n].sourceLine = number;
            continue;
        }
        if (block < 0) {
            Error(number, "script line outside a block");
            continue;
        }
        if (latin_) {
            AddLatinLine(block, number, line);
        } else {
            AddLine(block, number, line);
        }
    }
    return true;
}

// Coded lines must match their form exactly; all others are plain pages.
void Converter::CheckForm(int block, int index, const ScriptLine& line) {
    for (const FixedLine& fixed : kFixedLines) {
        if (fixed.block == block && fixed.line == index) {
            if (line.form != fixed.form) {
                Error(line.sourceLine, "line " + std::to_string(index) + " of block " +
                                           std::to_string(block) + " must read " + fixed.form +
                                           " ([n] = n characters), not " + line.form);
            }
            return;
        }
    }
    const std::string& f = line.form;
    bool plain = f.size() >= 4 && f.compare(0, 2, "C@") == 0 && f.back() == 'B' &&
                 f.find('[') != std::string::npos;
    for (size_t i = 2; plain && i + 1 < f.size(); ++i) {
        if (f[i] == '[') {
            i = f.find(']', i);
        } else if (f[i] != '@') {
            plain = false;
        }
    }
    if (!plain) {
        Error(line.sourceLine, "line " + std::to_string(index) + " of block " +
                                   std::to_string(block) + " must read C@ text B (with @ breaks " +
                                   "inside), not " + f);
    }
}

// Lays the line out as the window does and refuses pages that would scroll or show a blank row.
void Converter::CheckPages(const ScriptLine& line) {
    int row = 0;
    int column = 0;
    bool fullRowEnded = false; // the last character filled a row and moved to the next
    for (size_t i = 0; i < line.bytes.size(); ++i) {
        const char c = line.bytes[i];
        if (c == 'C') {
            row = column = 0;
            fullRowEnded = false;
        } else if (c == '@') {
            if (fullRowEnded) {
                Error(line.sourceLine, "@ right after a full row of " + std::to_string(kRowChars) +
                                           " leaves an empty row");
            }
            ++row;
            column = 0;
            fullRowEnded = false;
        } else if (!IsCode(c)) {
            ++i; // the second byte of the character
            if (row > kLastRow) {
                Error(line.sourceLine, "page needs more than four rows of text; the window would "
                                       "scroll");
                return;
            }
            fullRowEnded = ++column == kRowChars;
            if (fullRowEnded) {
                ++row;
                column = 0;
            }
        } else if (c == 'B') {
            fullRowEnded = false;
        }
    }
}

void Converter::Check() {
    for (int b = 0; b < kBlocks; ++b) {
        const Block& block = blocks_[b];
        if (b >= 4) {
            if (!block.lines.empty()) {
                Error(block.sourceLine, "block " + std::to_string(b) + " must stay empty");
            }
            continue;
        }
        if (block.sourceLine == 0) {
            Error(1, "block " + std::to_string(b) + " is missing");
            continue;
        }
        int pages = 0;
        int chars = 0;
        for (size_t i = 0; i < block.lines.size(); ++i) {
            const ScriptLine& line = block.lines[i];
            CheckForm(b, static_cast<int>(i), line);
            CheckPages(line);
            pages += line.pages;
            chars += line.chars;
        }
        const BlockSize& want = kBlockSizes[b];
        const int lines = static_cast<int>(block.lines.size());
        if (lines != want.lines || pages != want.pages || chars != want.chars) {
            std::ostringstream message;
            message << "block " << b << " has " << lines << " lines, " << pages << " pages and "
                    << chars << " characters; it must have " << want.lines << ", " << want.pages
                    << " and " << want.chars;
            Error(block.sourceLine, message.str());
        }
    }
}

// Lays a Latin line out as the window will show it: codes as written, the words of each run of
// text into rows of 56, a break (@) before a word that would not fit. Keeps the window's own wrap
// in mind: a word that ends a row exactly moves the writing point by itself.
void Converter::AddLatinLine(int block, int sourceLine, const std::string& text) {
    ScriptLine line;
    line.sourceLine = sourceLine;
    line.text = text;
    int row = 0;
    int column = 0;
    bool fullRowEnded = false;
    int run = 0;
    const auto endRun = [&] {
        if (run > 0) {
            line.form += "[" + std::to_string(run) + "]";
            run = 0;
        }
    };
    const auto code = [&](char c) {
        endRun();
        line.bytes += c;
        line.form += c;
        if (c == 'C') {
            row = column = 0;
            fullRowEnded = false;
        } else if (c == '@') {
            if (fullRowEnded) {
                // The row was filled to the last column and has ended by itself; a written break
                // here would leave an empty row, so it is the break already made.
                line.bytes.pop_back();
                line.form.pop_back();
                fullRowEnded = false;
                return;
            }
            ++row;
            column = 0;
            fullRowEnded = false;
        } else if (c == 'B') {
            line.pages += 1;
            fullRowEnded = false;
        }
    };
    bool tooDeep = false;
    const auto word = [&](const std::string& w) {
        if (static_cast<int>(w.size()) > kLatinRowChars) {
            Error(sourceLine, "the word \"" + w + "\" is longer than a row");
            return;
        }
        if (column > 0 && column + 1 + static_cast<int>(w.size()) > kLatinRowChars) {
            code('@');
        } else if (column > 0) {
            line.bytes += static_cast<char>(' ' | kLatinBit);
            ++run;
            ++line.chars;
            ++column;
        }
        fullRowEnded = false;
        for (char c : w) {
            line.bytes += static_cast<char>(static_cast<unsigned char>(c) | kLatinBit);
            ++run;
            ++line.chars;
            ++column;
        }
        if (row > kLastRow || (row == kLastRow && column == kLatinRowChars)) {
            tooDeep = true;
        }
        if (column == kLatinRowChars) {
            ++row;
            column = 0;
            fullRowEnded = true;
        }
    };
    std::string pending; // the text since the last code
    const auto flushText = [&] {
        std::istringstream words(pending);
        for (std::string w; words >> w;) {
            word(w);
        }
        pending.clear();
    };
    for (size_t at = 0; at < text.size(); ++at) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c == '{') {
            flushText();
            const size_t close = text.find('}', at);
            if (close == std::string::npos) {
                Error(sourceLine, "{ without }");
                break;
            }
            for (size_t i = at + 1; i < close; ++i) {
                if (IsCode(text[i])) {
                    code(text[i]);
                } else {
                    Error(sourceLine, std::string("unknown code '") + text[i] + "'");
                }
            }
            at = close;
        } else if (c == '}') {
            Error(sourceLine, "} without {");
        } else if (c < 0x20 || c > 0x7E || c == '\\' || c == '~') {
            // Beyond plain ASCII the bytes would not survive the table's top bit; \ and ~ read
            // differently in Shift-JIS.
            Error(sourceLine, std::string("\"") + text[at] +
                                  "\" cannot be written in a Latin script (plain ASCII only, no \\ "
                                  "or ~)");
        } else {
            pending += static_cast<char>(c);
        }
    }
    flushText();
    endRun();
    if (tooDeep) {
        Error(sourceLine, "page needs more than four rows of text; the window would scroll");
    }
    StoreLine(block, std::move(line));
}

// A line's codes with each stretch of text, row breaks inside it included, as one T: what must
// stay the same from language to language.
std::string Skeleton(const std::string& form) {
    std::string out;
    for (size_t i = 0; i < form.size(); ++i) {
        if (form[i] == '[') {
            i = form.find(']', i);
            if (out.size() >= 2 && out.back() == '@' && out[out.size() - 2] == 'T') {
                out.pop_back(); // a break between two stretches of text
            } else if (!out.empty() && out.back() == 'T') {
                continue;
            } else {
                out += 'T';
            }
            continue;
        }
        out += form[i];
    }
    return out;
}

void Converter::CheckLike(const Converter& reference) {
    for (int b = 0; b < kBlocks; ++b) {
        const Block& block = blocks_[b];
        const Block& like = reference.blocks_[b];
        if (block.sourceLine == 0 && !like.lines.empty()) {
            Error(1, "block " + std::to_string(b) + " is missing");
            continue;
        }
        if (block.lines.size() != like.lines.size()) {
            Error(block.sourceLine,
                  "block " + std::to_string(b) + " has " + std::to_string(block.lines.size()) +
                      " lines; " + reference.path_ + " has " + std::to_string(like.lines.size()));
            continue;
        }
        for (size_t i = 0; i < block.lines.size(); ++i) {
            const std::string mine = Skeleton(block.lines[i].form);
            const std::string theirs = Skeleton(like.lines[i].form);
            if (mine != theirs) {
                Error(block.lines[i].sourceLine,
                      "line " + std::to_string(i) + " of block " + std::to_string(b) +
                          " must carry the codes of " + reference.path_ + ":" +
                          std::to_string(like.lines[i].sourceLine) + ", " + theirs +
                          " (T = text), not " + mine);
            }
        }
    }
}

std::string Converter::Source(const std::string& table) const {
    std::ostringstream out;
    out << "// Generated from " << path_ << " by scriptgen. Do not edit.\n"
        << "#include \"data/script_table.h\"\n\n"
        << "const char " << table << "[" << kBlocks << "][" << kLinesPerBlock << "][" << kLineBytes
        << "] = {\n";
    for (int b = 0; b < 4; ++b) {
        out << "    {\n";
        int index = 0;
        for (const ScriptLine& line : blocks_[b].lines) {
            out << "        // " << index++ << ": " << line.text << "\n        \"";
            for (unsigned char c : line.bytes) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02x", c);
                out << hex;
            }
            out << "\",\n";
        }
        out << "    },\n";
    }
    out << "};\n";
    return out.str();
}

} // namespace

static int Write(const char* path, const std::string& source) {
    std::ofstream output(path);
    output << source;
    output.close();
    if (!output) {
        std::cerr << path << ": cannot write\n";
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 8 && std::string(argv[1]) == "--latin" && std::string(argv[3]) == "--like" &&
        std::string(argv[5]) == "--table") {
        Converter reference(argv[4]);
        if (!reference.Read()) {
            return 1;
        }
        reference.Check();
        Converter latin(argv[2]);
        latin.SetLatin();
        if (reference.Failed() || !latin.Read()) {
            return 1;
        }
        latin.CheckLike(reference);
        if (latin.Failed()) {
            return 1;
        }
        return Write(argv[7], latin.Source(argv[6]));
    }
    if (argc != 3) {
        std::cerr << "usage: scriptgen script.txt script_table.cpp\n"
                     "       scriptgen --latin script.LANG.txt --like script.txt --table NAME "
                     "out.cpp\n";
        return 2;
    }
    Converter converter(argv[1]);
    if (!converter.Read()) {
        return 1;
    }
    converter.Check();
    if (converter.Failed()) {
        return 1;
    }
    return Write(argv[2], converter.Source("ScriptTable"));
}
