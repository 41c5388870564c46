#!/usr/bin/env bash
# Installs what is missing, builds, makes the sample database and launches the viewer on it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/deps.sh"
bash "$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
cd "$top/build"
if [ -x src/app/hintkeeper ]; then
    exec src/app/hintkeeper "$@"
else
    exec tools/hkpack/hkpack check src/app/hintkeeper.dat
fi
