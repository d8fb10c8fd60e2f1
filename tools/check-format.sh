#!/usr/bin/env bash
# Fails when a C++ source differs from what .clang-format makes of it.
#   tools/check-format.sh [CLANG_FORMAT]
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format=${1:-clang-format}
find protocol midi engine app platform resources tools tests bench \
  \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 "$clang_format" --dry-run --Werror
