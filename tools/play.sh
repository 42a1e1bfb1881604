#!/bin/bash
# Installs what is needed, builds, and starts the game from its data folder.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cd build
exec ./tovarine
