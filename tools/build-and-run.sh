#!/usr/bin/env bash
# Installs what the project needs, builds the tool and runs its main job.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset release
cmake --build --preset release
# Updates the built-in virtual unit over the loopback driver with the real
# waits and pauses, then verifies that its flash holds every image.
build/release/tools/updater_cli/vessa-updater-cli --simulate
