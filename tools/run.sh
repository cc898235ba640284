#!/usr/bin/env bash
# Builds vorlane and starts it with the files given (installs what is missing first).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
if [ ! -f "$root/build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$root/build" --target vorlane >/dev/null
exec "$root/build/vorlane" "$@"
