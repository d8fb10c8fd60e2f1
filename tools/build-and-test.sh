#!/usr/bin/env bash
# Installs what the project needs, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset default
cmake --build --preset default
ctest --preset default
