#!/usr/bin/env bash
# Configures and builds into the given folder (default: build). Extra arguments go to CMake.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build}
shift || true
cmake -S "$top" -B "$top/$dir" -G Ninja "$@"
cmake --build "$top/$dir" -j "$(nproc)"
