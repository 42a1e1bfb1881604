// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The five possessable items: size, boxes and damage of each kind.
#pragma once

// The sprite size and boxes of the current ItemKind (and the ghost's), applied once per frame
// after the movement and hit steps.
void ApplyItemGeometry();
