#!/usr/bin/env bash
# Builds the Debian package of the program into ./build (dendrix_VERSION_ARCH.deb) and,
# with --check, installs it into a clean Debian 12 root made for the purpose and starts
# the desktop program there under a virtual display, writing a screenshot beside the
# package (needs network access for the Debian archive; runs as root).
set -euo pipefail
cd "$(dirname "$0")/.."
check=0
[ "${1:-}" = "--check" ] && check=1
bash scripts/build.sh
(cd build && cpack -G DEB >/dev/null)
deb=$(ls -t build/dendrix_*.deb | head -1)
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Depends
[ $check -eq 1 ] || exit 0

root=${DX_CHECK_ROOT:-/tmp/dendrix-deb12-root}
if [ ! -x "$root/usr/bin/apt-get" ]; then
  command -v mmdebstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq mmdebstrap
  rm -rf "$root"
  mmdebstrap --variant=apt bookworm "$root"
fi
cp "$deb" "$root/tmp/"
name=$(basename "$deb")
cat > "$root/tmp/check.sh" <<SCRIPT
set -eu
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "/tmp/$name" xvfb xauth imagemagick openbox >/dev/null
dpkg -i "/tmp/$name" >/dev/null  # again, for a rebuilt package of the same version
cd /root
rm -rf /root/Dendrix
xvfb-run -a -s "-screen 0 1280x800x24" sh -c 'openbox & sleep 1; (dendrix &) ; sleep 12; import -window root /tmp/installed.png'
test -f /root/Dendrix/Dendrix.ini
dendrix-cli -C /root/Dendrix startup | head -3
SCRIPT
mount --bind /proc "$root/proc" 2>/dev/null || true
trap 'umount "$root/proc" 2>/dev/null || true' EXIT
chroot "$root" /bin/sh /tmp/check.sh
cp "$root/tmp/installed.png" build/installed-screenshot.png
echo "screenshot: build/installed-screenshot.png"
