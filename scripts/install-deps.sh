#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need.
# Idempotent: runs apt-get (and its update) only when something is missing.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins
  libgstreamer1.0-dev libunwind-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-plugins-base
  gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly gstreamer1.0-libav
  gstreamer1.0-tools gstreamer1.0-x gstreamer1.0-gl timgm6mb-soundfont libsndfile1-dev
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev ffmpeg
  libwmf-dev fonts-urw-base35 fonts-liberation2 fonts-liberation
  xvfb xauth x11-utils poppler-utils sox shared-mime-info desktop-file-utils xdg-utils
  libfile-mimeinfo-perl googletest libgtest-dev libbenchmark-dev locales libqt6svg6 qt6-svg-dev libxcb1-dev clang-tidy strace
  weston qt6-wayland
  dpkg-dev lintian appstream man-db file
  # reading aloud; Qt's TextToSpeech CMake package asks for QmlIntegration from declarative
  qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin speech-dispatcher
  speech-dispatcher-espeak-ng
  # tests switch accessibility on as a screen reader's bridge does (Qt's private QPA headers)
  qt6-base-private-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
