#!/usr/bin/env bash
# Prints a description on a real print queue and checks the page that comes out: CUPS
# with the cups-pdf printer (a queue "DendrixPDF" that writes each job as a PDF file into
# ~/PDF), one description sent through Qt's printing with the program's composer, report
# and printer code (tests/helpers/PrintDescription.cpp), and the resulting PDF compared as
# a picture with the page dendrix-cli writes for the same sub-compartment.
#
#   bash scripts/cups-pdf-check.sh [BUILD_DIR]
#
# Needs root (or sudo) to install the packages and add the queue; starts the CUPS
# scheduler when none runs and stops it again afterwards. Not part of the default test
# run: CI cannot start a print scheduler.
set -euo pipefail
BUILD=$(realpath "${1:-build}")
CLI="$BUILD/dendrix-cli"
PRINT="$BUILD/tests/print_description"
HERE=$(cd "$(dirname "$0")/.." && pwd)
for f in "$CLI" "$PRINT"; do
  [[ -x $f ]] || { echo "cups-pdf-check: $f is missing; build the targets dendrix-cli and print_description" >&2; exit 2; }
done

SUDO=""
[[ $(id -u) -ne 0 ]] && SUDO="sudo"
missing=()
for p in cups cups-client printer-driver-cups-pdf poppler-utils; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

STARTED=""
WORK=$(mktemp -d /tmp/dendrix-cups-check.XXXXXX)
cleanup() {
  if [[ -n $STARTED ]]; then $SUDO kill "$STARTED" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  $SUDO cupsd -f &
  STARTED=$!
  for _ in $(seq 50); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.2; done
fi
PPD=$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF_noopt/ {print $1; exit}')
[[ -n $PPD ]] || PPD=$(lpinfo -m | awk '/CUPS-PDF/ {print $1; exit}')
$SUDO lpadmin -p DendrixPDF -E -v cups-pdf:/ -m "$PPD" 2>/dev/null

"$CLI" demo "$WORK/demo" --records 60 > /dev/null
OUTDIR="$HOME/PDF"
mkdir -p "$OUTDIR"
touch "$WORK/marker"
sleep 1
echo "printer line: $(QT_QPA_PLATFORM=offscreen "$PRINT" "$WORK/demo" DendrixPDF 2 а --branches)"
PRINTED=""
for _ in $(seq 60); do
  PRINTED=$(find "$OUTDIR" -maxdepth 1 -name '*.pdf' -newer "$WORK/marker" | head -1)
  [[ -n $PRINTED ]] && break
  sleep 0.5
done
if [[ -z $PRINTED ]]; then
  echo "cups-pdf-check: no PDF came out of the queue within 30 s (see /var/log/cups/error_log)" >&2
  exit 1
fi
sleep 1 # the file is complete once cups-pdf has closed it
echo "printed: $PRINTED"
pdfinfo "$PRINTED" | grep -E '^(Pages|Page size):'
[[ $(pdfinfo "$PRINTED" | awk '/^Pages:/ {print $2}') == 1 ]] || { echo "cups-pdf-check: not one page" >&2; exit 1; }
"$CLI" -C "$WORK/demo" pdf "$WORK/reference.pdf" --branches 2 а > /dev/null
python3 "$HERE/tests/scripts/compare_pdf_pages.py" "$PRINTED" "$WORK/reference.pdf"
echo "cups-pdf-check: the queue printed the description as dendrix-cli writes it"
