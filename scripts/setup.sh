#!/usr/bin/env bash
# Installs the Debian packages vistrel needs to build, test and benchmark.
# Idempotent: quiet and quick when everything is already present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libopencv-core-dev libopencv-imgproc-dev libopencv-imgcodecs-dev
  nlohmann-json3-dev libcli11-dev libssl-dev libxml2-dev libpcre2-dev
  libcurl4-openssl-dev libcpp-httplib-dev
  libtesseract-dev tesseract-ocr-eng tesseract-ocr-chi-sim libsdl2-mixer-dev
  xvfb xclip
  libgtest-dev libgmock-dev libbenchmark-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}" >&2
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
