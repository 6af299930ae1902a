#!/usr/bin/env bash
# Installs the Debian packages Orthovane needs to build, test and run, when they are
# missing. Safe to run again: it only calls apt-get for packages that are not installed.
set -euo pipefail

packages=(
  g++ make cmake pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev
  libemf-dev
  googletest libgtest-dev libgmock-dev
  libbenchmark-dev
  fonts-liberation
  xvfb xauth  # a virtual display for the application on a machine without one
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
