#!/usr/bin/env bash
# Prints a description on a real print queue and checks the page that comes out: CUPS
# with the cups-pdf printer (a queue "DendrixPDF" that writes each job as a PDF file into
# ~/PDF), one description sent through Qt's printing with the program's composer, report
# and printer code (tests/helpers/PrintDescription.cpp), and the resulting PDF compared as
# a picture with the page dendrix-cli writes for the same sub-compartment. The settings
# ask for 2 copies of a description: the job must reach the scheduler with copies=2 (and
# cups-pdf then writes the page twice), while dendrix-cli writes it once. Last, a second
# queue is deleted while a job is painted for it: the printer code must report the job
# as not printed, and nothing may come out.
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
for p in cups cups-client printer-driver-cups-pdf poppler-utils python3; do
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
  $SUDO lpadmin -x DendrixGone 2>/dev/null || true
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
# Two copies of each description ("Брой:" of the print settings' first tab).
python3 - "$WORK/demo/Dendrix.ini" <<'PY'
import re, sys
path = sys.argv[1]
text = open(path, "rb").read().decode("cp1251")
head = re.search(r"^\[таксационно описание\]", text, re.M | re.I)
key = re.compile(r"^Copyes=.*$", re.M | re.I).search(text, head.end())
text = text[:key.start()] + "Copyes=2" + text[key.end():]
open(path, "wb").write(text.encode("cp1251"))
PY
SPOOL=/var/spool/cups
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
JOB=$($SUDO find "$SPOOL" -maxdepth 1 -name 'c*' -newer "$WORK/marker" | sort | tail -1)
[[ -n $JOB ]] || { echo "cups-pdf-check: the scheduler kept no record of the job" >&2; exit 1; }
COPIES=$($SUDO cat "$JOB" | python3 "$HERE/tests/scripts/cups_job_attributes.py" /dev/stdin copies | cut -d' ' -f2)
echo "job ${JOB##*/c}: copies=${COPIES:-1}"
[[ ${COPIES:-1} == 2 ]] || { echo "cups-pdf-check: the job does not ask for the 2 copies of the settings" >&2; exit 1; }
[[ $(pdfinfo "$PRINTED" | awk '/^Pages:/ {print $2}') == 2 ]] || { echo "cups-pdf-check: not the page twice" >&2; exit 1; }
"$CLI" -C "$WORK/demo" pdf "$WORK/reference.pdf" --branches 2 а > /dev/null
[[ $(pdfinfo "$WORK/reference.pdf" | awk '/^Pages:/ {print $2}') == 1 ]] || { echo "cups-pdf-check: dendrix-cli wrote more than one page" >&2; exit 1; }
python3 "$HERE/tests/scripts/compare_pdf_pages.py" "$PRINTED" "$WORK/reference.pdf"
echo "cups-pdf-check: the queue printed the description as dendrix-cli writes it, in the 2 copies asked for"

# A queue that is deleted while the job is painted for it: the job is reported lost.
$SUDO lpadmin -p DendrixGone -E -v cups-pdf:/ -m "$PPD" 2>/dev/null
touch "$WORK/marker2"
sleep 1
set +e
VANISH=$(QT_QPA_PLATFORM=offscreen "$PRINT" "$WORK/demo" DendrixGone 2 а --vanish 2>&1)
status=$?
set -e
echo "vanishing queue: $(echo "$VANISH" | grep -E '^(painted|Принтерът)' | tr '\n' ' ')(exit status $status)"
[[ $status -eq 1 ]] || { echo "cups-pdf-check: the job on the deleted queue was not reported lost" >&2; exit 1; }
sleep 3
if [[ -n $(find "$OUTDIR" -maxdepth 1 -name '*.pdf' -newer "$WORK/marker2") ]]; then
  echo "cups-pdf-check: a PDF came out of the deleted queue" >&2
  exit 1
fi
echo "cups-pdf-check: the job on the deleted queue was reported lost and nothing came out"
