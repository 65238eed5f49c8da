#!/usr/bin/env bash
# Installs every Debian package Torvane needs to build, test and run. Safe to run again.
set -euo pipefail
packages=(
    build-essential cmake pkg-config ccache git clang-format clang libclang-rt-14-dev
    libxml2-dev zlib1g-dev libzip-dev libcurl4-openssl-dev libssl-dev
    nlohmann-json3-dev libcli11-dev libcpp-httplib-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-webengine-dev qt6-multimedia-dev qt6-svg-dev libqt6svg6
    qt6-image-formats-plugins fonts-nanum xvfb xauth
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    dosfstools fusefat fuse mtools
    curl unzip zip lame
    librsvg2-bin desktop-file-utils appstream man-db shared-mime-info file dpkg-dev lintian
    qt6-translations-l10n qtkeychain-qt6-dev libsecret-1-0 libglib2.0-dev
    dbus-daemon python3-dbusmock gnome-keyring
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
