#!/usr/bin/env bash
# Fails when a C++ file does not follow .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h' \
  | xargs -0 -r clang-format --dry-run --Werror
echo "format: clean"
