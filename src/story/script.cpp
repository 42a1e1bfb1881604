#include "story/script.h"

ScriptPositionRecord ScriptPosition = {};
