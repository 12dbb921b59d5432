#!/usr/bin/env bash
# Installs what is missing, builds, and runs the symbols tool; without arguments it
# lists the catalogue of the embedded sample library. Arguments go to the tool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build/release -DSYMBOLS_TESTS=OFF -DSYMBOLS_APPS=ON >&2
if [ $# -eq 0 ]; then
  set -- library list
fi
exec build/release/apps/symbols "$@"
