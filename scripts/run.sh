#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program. The data folder is the
# current folder at start, as the program expects; by default ~/Zanvo.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANVO_SANITIZE= -DZANVO_BUILD_TESTS=OFF -DZANVO_BUILD_BENCH=OFF -DZANVO_BUILD_GUI=ON
cmake --build build -j"${JOBS:-2}" --target zanvo
DATA_DIR=${ZANVO_DATA:-$HOME/Zanvo}
mkdir -p "$DATA_DIR"
BIN="$PWD/build/bin/zanvo"
cd "$DATA_DIR"
exec "$BIN" "$@"
