#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Installs what playing needs, builds the game alone (no tests or benchmarks), and starts it from
# its data folder.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cd build
exec ./tovarine "$@"
