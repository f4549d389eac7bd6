#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, when missing.
set -euo pipefail
PKGS=(build-essential cmake ninja-build pkg-config
      qt6-base-dev qt6-base-dev-tools libgl-dev
      qt6-charts-dev libqt6opengl6-dev qt6-svg-dev  # the area lists' charts, saved as PNG and SVG
      qt6-translations-l10n  # Qt's own dialogs in Bulgarian (qtbase_bg.qm)
      libsqlite3-dev libgtest-dev libshp-dev pxlib-dev libxlsxwriter-dev libzip-dev
      python3 python3-dbfread xvfb xauth
      fonts-liberation2  # "Arial" of the printed descriptions: Liberation Sans, the same letter widths
      libcups2-dev  # a printer's port (its device URI) in the print settings' printer line
      unzip poppler-utils)  # the list-file tests read .xlsx and PDF output with these
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
