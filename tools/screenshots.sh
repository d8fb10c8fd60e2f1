#!/usr/bin/env bash
# Saves pictures of the dialog (Ready, Running, Completed) and the About box
# into docs/, from a run against the built-in virtual unit under a virtual X
# server. Usage: tools/screenshots.sh [build folder]   (default: build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"

cmake --build "$build" --target vessa-updater
runtime="$(mktemp -d)"
trap 'rm -rf "$runtime"' EXIT

# A private runtime folder: the tour takes instance 1 whatever else runs.
XDG_RUNTIME_DIR="$runtime" VESSA_UPDATER_TEST_SCREENSHOTS="$PWD/docs" \
  xvfb-run -a -s "-screen 0 1024x768x24" "$build/app/vessa-updater"
ls -l docs/*.png
