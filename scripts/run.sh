#!/usr/bin/env bash
# Builds Ringeplagvern and starts it. Arguments are passed to the application
# (see `--help`).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target ringeplagvern
exec build/app/ringeplagvern "$@"
