#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program. The data folder is the
# current folder at start, as the program expects; by default ~/Zanvo.
# With --demo the program starts in the demo: the VetIS test double runs inside it,
# and its data folder (by default ~/Zanvo-demo) is prepared on the first start.
set -euo pipefail
cd "$(dirname "$0")/.."
DEMO=0
ARGS=()
for arg in "$@"; do
  if [ "$arg" = "--demo" ]; then DEMO=1; else ARGS+=("$arg"); fi
done
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANVO_SANITIZE= -DZANVO_BUILD_TESTS=OFF -DZANVO_BUILD_BENCH=OFF -DZANVO_BUILD_GUI=ON
cmake --build build -j"${JOBS:-2}" --target zanvo
BIN="$PWD/build/bin/zanvo"
if [ "$DEMO" = 1 ]; then
  DATA_DIR=${ZANVO_DEMO_DATA:-$HOME/Zanvo-demo}
  ARGS+=("DEMO=$DATA_DIR")
else
  DATA_DIR=${ZANVO_DATA:-$HOME/Zanvo}
fi
mkdir -p "$DATA_DIR"
cd "$DATA_DIR"
exec "$BIN" ${ARGS[@]+"${ARGS[@]}"}
