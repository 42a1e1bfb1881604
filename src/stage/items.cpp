#include "stage/items.h"

// The item kinds arrive with the player issue.
void ApplyItemGeometry() {}
