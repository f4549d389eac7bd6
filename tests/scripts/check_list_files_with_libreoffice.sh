#!/usr/bin/env bash
# Opens saved lists in LibreOffice (headless) and checks what it reads from them.
# Usage: check_list_files_with_libreoffice.sh FILE... -- TEXT...
# Each FILE (.xlsx, .xls, .ods: spreadsheet; .rtf, .docx, .odt: document) is converted to
# UTF-8 text (a spreadsheet to CSV with cells as shown, a document to plain text), and
# every TEXT must occur in the text of every FILE. Exit 0 when all are found, 1 when a file
# cannot be converted or a text is missing, 2 on bad usage, 77 (skipped) without soffice.
set -u

files=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do files+=("$1"); shift; done
[ $# -gt 0 ] && shift
if [ ${#files[@]} -eq 0 ]; then
  echo "usage: $0 FILE... -- TEXT..." >&2
  exit 2
fi

soffice=$(command -v soffice || command -v libreoffice || true)
if [ -z "$soffice" ]; then
  echo "LibreOffice (soffice) is not installed: check skipped" >&2
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A profile of our own, so that a LibreOffice already running does not take the job.
profile="file://$work/profile"

status=0
for f in "${files[@]}"; do
  if [ ! -f "$f" ]; then
    echo "$f: no such file" >&2
    status=1
    continue
  fi
  case "${f,,}" in
    *.xlsx|*.xls|*.ods) filter='csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true'; ext=csv ;;
    *) filter='txt:Text (encoded):UTF8'; ext=txt ;;
  esac
  out="$work/out"
  rm -rf "$out"
  mkdir -p "$out"
  cp -- "$f" "$work/input.${f##*.}"
  if ! timeout 180 "$soffice" -env:UserInstallation="$profile" --headless --norestore \
        --convert-to "$filter" --outdir "$out" "$work/input.${f##*.}" >"$work/log" 2>&1; then
    echo "$f: LibreOffice could not convert it:" >&2
    cat "$work/log" >&2
    status=1
    continue
  fi
  text="$out/input.$ext"
  if [ ! -s "$text" ]; then
    echo "$f: LibreOffice read nothing from it:" >&2
    cat "$work/log" >&2
    status=1
    continue
  fi
  for t in "$@"; do
    if ! grep -qF -- "$t" "$text"; then
      echo "$f: \"$t\" not found in what LibreOffice read:" >&2
      head -c 2000 "$text" >&2
      status=1
    fi
  done
done
exit $status
