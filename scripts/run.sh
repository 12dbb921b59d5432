#!/usr/bin/env bash
# Installs what is missing, builds, and runs the symbols tool (by default: the catalogue
# of the embedded sample library). Arguments go to the tool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build/release -DSYMBOLS_TESTS=OFF
if [ -x build/release/apps/symbols ]; then
  if [ $# -eq 0 ]; then set -- library list; fi
  exec build/release/apps/symbols "$@"
fi
exec build/release/apps/component-info "$@"
