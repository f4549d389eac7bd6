#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo installation in ./demo (once) and
# starts the desktop program in it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
top=$(pwd)
if [ ! -f demo/Dendrix.ini ]; then
  ./build/dendrix-cli demo demo
fi
cd demo
exec "$top/build/dendrix"
