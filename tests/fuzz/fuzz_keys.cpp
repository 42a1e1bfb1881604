// Any bytes as a key script of the headless runner: refused with a message, or read into lines
// in frame order whose keys are all known scan codes.
#define main RunnerMain
#include "main/headless_runner.cpp"
#undef main

#include <cstdlib>

// The runner's game and trace are not needed to read a script.
int GameMain() {
    return 0;
}
void WriteTraceLine(std::FILE*, int) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen("fuzz.keys", "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    Script.clear();
    NextScriptLine = 0;
    if (ReadScript("fuzz.keys")) {
        for (size_t i = 0; i < Script.size(); ++i) {
            if (Script[i].frame < 0 || (i > 0 && Script[i].frame < Script[i - 1].frame)) {
                std::abort();
            }
        }
        for (int frame = 0; frame < 4; ++frame) {
            ApplyKeysFor(frame);
        }
    }
    return 0;
}
