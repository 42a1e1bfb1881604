// Empty level tables, used only until the real ones are generated from src/data/levels.
#include "data/levels.h"

const int32_t StageMapSource[7][8 * 208] = {};
