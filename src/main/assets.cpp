#include "main/assets.h"

// The catalogue arrives with the asset loader; until then there is nothing to reload.
void ReloadAllImages() {}

void ReloadSceneryAfterDisplayChange() {}
