#!/usr/bin/env bash
# Installs the Debian packages the build, tests, benchmarks and fuzzers need, when missing.
set -euo pipefail
packages=(cmake make g++ pkg-config libpugixml-dev libpng-dev libturbojpeg0-dev libgtest-dev libgmock-dev libcli11-dev
          nlohmann-json3-dev libpolyclipping-dev libbenchmark-dev clang libclang-rt-14-dev clang-format binutils help2man man-db
          python3-jsonschema)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
