#!/usr/bin/env bash
# Installs what is missing, builds, and runs the symbols tool. Without arguments it runs
# the demo on the sample pump model and writes its pages to build/demo; arguments go to
# the tool instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build/release -DSYMBOLS_TESTS=OFF -DSYMBOLS_APPS=ON >&2
if [ $# -eq 0 ]; then
  set -- demo --out build/demo
fi
exec build/release/apps/symbols "$@"
