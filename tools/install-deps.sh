#!/usr/bin/env bash
# Installs the Debian packages the trainer needs to build, run and test.
# Only missing packages are installed; sudo is used when not root.
set -euo pipefail

packages=(
    cmake g++ clang pkg-config clang-format
    qt6-base-dev qt6-base-dev-tools libqt6test6 qt6-qpa-plugins qt6-svg-dev qt6-translations-l10n
    libgtest-dev
    libfluidsynth-dev fluid-soundfont-gm timgm6mb-soundfont
    librtmidi-dev libasound2-dev libdbus-1-dev libpulse-dev
    fonts-ipafont-mincho fonts-ipafont-gothic
    python3-fontforge lilypond-fonts
    xvfb xauth x11-apps imagemagick sox poppler-utils
    pulseaudio pulseaudio-utils xdotool openbox x11-utils qt6-translations-l10n
    desktop-file-utils appstream
)

missing=()
for pkg in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
