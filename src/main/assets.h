// The asset catalogue: one handle per picture and sound file.
#pragma once

// Loads every picture of the catalogue again, in its fixed order, with stage 1's scenery.
void ReloadAllImages();
// After a display change: brings back the scenery of the current stage.
void ReloadSceneryAfterDisplayChange();
