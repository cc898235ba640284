#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when any is missing.
set -euo pipefail
packages=(g++ ccache clang libclang-rt-14-dev cmake ninja-build pkg-config
  zlib1g-dev libpng-dev libjpeg62-turbo-dev nettle-dev
  libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev libxcb1-dev
  xvfb xdotool x11-utils openbox xclip imagemagick poppler-utils dbus python3 python3-dbus python3-gi fonts-dejavu-core
  fonts-liberation2 libcups2-dev
  libboost-dev libreoffice-calc-nogui libreoffice-base-drivers python3-uno
  locales)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The number module is tested under a decimal-comma locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
