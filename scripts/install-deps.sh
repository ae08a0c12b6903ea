#!/usr/bin/env bash
# Installs what the build, the tests and the fixture scripts need on Debian 12, skipping what is
# already there.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  libicu-dev libcurl4-openssl-dev qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth python3
  lame ffmpeg flac vorbis-tools wavpack python3-mutagen strace locales
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
