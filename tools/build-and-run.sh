#!/usr/bin/env bash
# Installs what the project needs, builds the tool and runs its main job.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset release
cmake --build --preset release
echo "The update engine has not landed yet: this builds the protocol and its benchmarks only."
build/release/bench/protocol_bench
