#!/usr/bin/env bash
# scripts/screenshot.sh [DIR]: renders the demo's page (DIR/pump.svg) and the gallery
# (DIR/gallery.html) to PNG files beside them with headless Chromium, to look at them
# as a person would. DIR defaults to build/demo, where scripts/run.sh writes the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build/demo}
for file in pump.svg gallery.html; do
  if [ ! -f "$dir/$file" ]; then
    echo "no $dir/$file: run scripts/run.sh first" >&2
    exit 1
  fi
done
scripts/render-page.sh "$dir/pump.svg" "$dir/pump.png"
scripts/render-page.sh "$dir/gallery.html" "$dir/gallery.png" 1000 1400
