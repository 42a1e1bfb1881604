// The game: asks the full-screen question, then runs until Escape, the window closes or the
// title's exit item is chosen.
#include "main/loop.h"

int main() {
    return GameMain();
}
