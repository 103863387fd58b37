#!/usr/bin/env bash
# Installs the Debian packages Tresmon needs to build, test and run.
# Idempotent and quiet when everything is already there.
set -eu

packages=(
  build-essential cmake pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  qt6-base-dev libgl-dev
  qt6-qpa-plugins fonts-liberation
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: run as root or install sudo" >&2; exit 1; }
  sudo=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
