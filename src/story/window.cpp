#include "story/window.h"

ScreenFadeRecord ScreenFade = {};
int32_t StorySide = -1;
