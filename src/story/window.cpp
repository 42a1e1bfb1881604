#include "story/window.h"

ScreenFadeRecord ScreenFade = {};
int32_t StorySide = -1;

// The message window arrives with the story issue.
void MessageTextStep() {}

void DrawMessageWindow() {}
