#!/usr/bin/env bash
# Prints a range on a duplex print queue and checks what the queue received: a private
# CUPS scheduler (its own configuration, spool and socket under a temporary folder, so a
# running scheduler is left alone) with a queue "DendrixDuplex" made from CUPS's generic
# PostScript sample driver, whose PPD declares duplex (its duplexer marked installed),
# writing its output to a file.
# tests/helpers/PrintDescription.cpp prints compartments FROM..TO with the program's
# duplex loop; the check then reads each job the scheduler kept: its "sides" attribute
# must be two-sided, its document must hold one or two pages, the pairs must be those of
# dendrix-cli's job list for the same range (the job is named after its first page), and
# the PostScript of the last pair must ask the printer for duplex (setpagedevice with
# /Duplex true).
#
#   bash scripts/cups-duplex-check.sh [BUILD_DIR] [FROM TO]
#
# Needs root (the scheduler's filters run as another user); installs the packages cups,
# cups-filters, poppler-utils and python3 when they are missing. Not part of the default
# test run.
set -euo pipefail
BUILD=$(realpath "${1:-build}")
FROM=${2:-2}
TO=${3:-2}
CLI="$BUILD/dendrix-cli"
PRINT="$BUILD/tests/print_description"
for f in "$CLI" "$PRINT"; do
  [[ -x $f ]] || { echo "cups-duplex-check: $f is missing; build dendrix-cli and print_description" >&2; exit 2; }
done
HERE=$(cd "$(dirname "$0")/.." && pwd)
[[ $(id -u) -eq 0 ]] || { echo "cups-duplex-check: run as root" >&2; exit 2; }
missing=()
for p in cups cups-client cups-filters poppler-utils python3; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

WORK=$(mktemp -d /tmp/dendrix-duplex-check.XXXXXX)
chmod 755 "$WORK"
PID=""
cleanup() {
  if [[ -n $PID ]]; then kill "$PID" 2>/dev/null || true; wait "$PID" 2>/dev/null || true; fi
  if [[ -n ${KEEP:-} ]]; then echo "kept: $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT
mkdir -p "$WORK"/{etc/ppd,spool,tmp,cache,state,log,out}
chmod 1777 "$WORK/tmp" "$WORK/out"
SOCK="$WORK/cups.sock"
cat > "$WORK/etc/cups-files.conf" <<CONF
FileDevice Yes
ServerRoot $WORK/etc
RequestRoot $WORK/spool
TempDir $WORK/tmp
CacheDir $WORK/cache
StateDir $WORK/state
ErrorLog $WORK/log/error_log
AccessLog $WORK/log/access_log
PageLog $WORK/log/page_log
CONF
cat > "$WORK/etc/cupsd.conf" <<CONF
Listen $SOCK
LogLevel info
PreserveJobFiles Yes
PreserveJobHistory Yes
Browsing No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
CONF
cupsd -f -c "$WORK/etc/cupsd.conf" -s "$WORK/etc/cups-files.conf" &
PID=$!
export CUPS_SERVER="$SOCK"
for _ in $(seq 50); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.2; done
lpstat -r | grep -q "is running" || { echo "cups-duplex-check: the scheduler did not start" >&2; cat "$WORK/log/error_log" >&2 || true; exit 1; }
OUT="$WORK/out/duplex.ps"
lpadmin -p DendrixDuplex -E -v "file://$OUT" -m drv:///sample.drv/generic.ppd -o Option1=True
lpstat -p DendrixDuplex >/dev/null

"$CLI" demo "$WORK/demo" --records 60 > /dev/null
"$CLI" -C "$WORK/demo" pdf "$WORK/reference.pdf" --duplex --from "$FROM" --to "$TO" 2>&1 > /dev/null | grep '^job' > "$WORK/cli-jobs"
EXPECTED=$(grep -c '^job' "$WORK/cli-jobs")
echo "dendrix-cli: $EXPECTED jobs"
QT_QPA_PLATFORM=offscreen "$PRINT" "$WORK/demo" DendrixDuplex --duplex "$FROM" "$TO"

# Wait until the queue has taken every job, printed them all and gone idle.
done_=""
for _ in $(seq 120); do
  taken=$(find "$WORK/spool" -maxdepth 1 -name 'c*' | wc -l)
  if [[ $taken -ge $EXPECTED && -z $(lpstat -o DendrixDuplex 2>/dev/null) ]] &&
     lpstat -p DendrixDuplex 2>/dev/null | grep -q idle; then
    done_=1
    break
  fi
  sleep 0.5
done
[[ -n $done_ ]] || echo "cups-duplex-check: the queue did not finish within 60 s" >&2

fail=0
n=0
for c in "$WORK"/spool/c*; do
  id=${c##*/c}
  n=$((n + 1))
  sides=$(python3 "$HERE/tests/scripts/cups_job_attributes.py" "$c" sides | cut -d' ' -f2)
  name=$(python3 "$HERE/tests/scripts/cups_job_attributes.py" "$c" job-name | cut -d' ' -f2-)
  first=${name##*[}
  first=${first%]}
  doc=$(ls "$WORK"/spool/d"$id"-001 2>/dev/null || true)
  pages=$( [[ -n $doc ]] && pdfinfo "$doc" 2>/dev/null | awk '/^Pages:/ {print $2}' || echo "?")
  want=$(sed -n "${n}p" "$WORK/cli-jobs" | cut -f2,3)
  wantPages=$(echo "$want" | cut -f2 | wc -w)
  wantFirst=$(echo "$want" | cut -f2 | cut -d' ' -f1)
  echo "job $n: sides=$sides pages=$pages first=$first (dendrix-cli: $want)"
  case "$want" in
    two-sided*) [[ $sides == two-sided-long-edge ]] || { echo "  not two-sided" >&2; fail=1; } ;;
  esac
  [[ $pages == "$wantPages" ]] || { echo "  $pages pages, expected $wantPages" >&2; fail=1; }
  [[ $first == "$wantFirst" ]] || { echo "  the job begins with $first, expected $wantFirst" >&2; fail=1; }
done
[[ $n -eq $EXPECTED ]] || { echo "cups-duplex-check: $n jobs reached the queue, expected $EXPECTED" >&2; fail=1; }
# The file device keeps the last job only; CUPS's filters print a lone page one-sided, so
# the page-device setting is checked when the last job is a pair.
if [[ $(tail -1 "$WORK/cli-jobs" | cut -f3 | wc -w) -eq 2 ]]; then
  if grep -a -q '/Duplex true' "$OUT" 2>/dev/null; then
    echo "PostScript of the last job: /Duplex true"
  else
    echo "cups-duplex-check: the PostScript of the last job does not ask for duplex" >&2
    fail=1
  fi
fi
[[ $fail -eq 0 ]] || exit 1
echo "cups-duplex-check: each pair of descriptions reached the queue as one two-sided job"
