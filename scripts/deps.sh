#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian 12 package that building, running and testing Tarnwick needs.
# Idempotent: packages already present are skipped, and apt-get update runs at most once.
set -euo pipefail

BUILD_PKGS=(
  build-essential cmake ninja-build ccache pkg-config git
  qt6-base-dev qt6-base-private-dev qt6-multimedia-dev qt6-image-formats-plugins
  qcoro-qt6-dev libqt6opengl6-dev libgl-dev
  libpng-dev zlib1g-dev libjpeg62-turbo-dev libheif-dev
  libtesseract-dev libleptonica-dev libicu-dev nlohmann-json3-dev libsimdjson-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev
  libpulse-dev
  libxcb1-dev libxcb-shm0-dev libxcb-randr0-dev libxcb-xfixes0-dev libxcb-composite0-dev libxcb-damage0-dev
  libxcb-keysyms1-dev libxcb-xtest0-dev libxcb-xinput-dev libx11-xcb-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format python3
)
RUN_PKGS=(
  tesseract-ocr tesseract-ocr-kor tesseract-ocr-eng fonts-noto-cjk
  gstreamer1.0-libav gstreamer1.0-plugins-good gstreamer1.0-plugins-base
  qt6-qpa-plugins qt6-translations-l10n
  papirus-icon-theme libqt6svg6 fonts-material-design-icons-iconfont
)
TEST_PKGS=(
  xvfb xauth openbox trayer xdotool xclip x11-utils x11-xserver-utils
  pulseaudio pulseaudio-utils imagemagick ffmpeg
  xcompmgr xserver-xephyr sox metacity
  fonts-dejavu-core fonts-noto-core fonts-cantarell fonts-liberation2 fonts-nanum kwin-x11
)

want=()
for p in "${BUILD_PKGS[@]}" "${RUN_PKGS[@]}" "${TEST_PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    want+=("$p")
  fi
done

if [ ${#want[@]} -eq 0 ]; then
  echo "deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
echo "deps: installing ${want[*]}"
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${want[@]}"
