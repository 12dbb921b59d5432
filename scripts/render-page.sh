#!/usr/bin/env bash
# scripts/render-page.sh PAGE OUT.png [WIDTH HEIGHT]: renders an SVG or HTML page to PNG
# with headless Chromium, to look at a page as a browser shows it. Installs the Debian
# package chromium when it is missing. Without a size an SVG's own width and height are
# used.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: $0 PAGE OUT.png [WIDTH HEIGHT]" >&2
  exit 2
fi
svg=$(realpath "$1")
out=$(realpath -m "$2")
if ! command -v chromium >/dev/null; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq chromium >/dev/null
fi
attribute() {
  sed -n "s/.*<svg[^>]* $1=\"\([0-9.]*\)\".*/\1/p" "$svg" | head -n1 | cut -d. -f1
}
width=${3:-$(attribute width)}
height=${4:-$(attribute height)}
width=${width:-800}
height=${height:-600}

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
chromium --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
  --disable-sync --no-first-run --user-data-dir="$profile" --hide-scrollbars \
  --window-size="$width,$height" --screenshot="$out" "file://$svg" >/dev/null 2>&1
[ -s "$out" ] || { echo "$0: chromium wrote no image" >&2; exit 1; }
echo "wrote $out (${width}x${height})"
