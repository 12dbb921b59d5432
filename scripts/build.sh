#!/usr/bin/env bash
# scripts/build.sh DIR [cmake options...]: configures and builds into DIR.
# Builds take a machine-wide lock so that parallel sessions never compile at once.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
flock /tmp/orrin-symbols-build.lock cmake --build "$dir" -j2
