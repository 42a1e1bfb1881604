#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Lists every C++ source that clang-format would change, and fails if there is one.
clang_format=${1:-clang-format}
status=0
for file in $(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tools tests bench -name '*.cpp' -o -name '*.h'); do
    if ! "$clang_format" --dry-run --Werror "$file" >/dev/null 2>&1; then
        echo "not clang-format clean: $file"
        status=1
    fi
done
exit $status
