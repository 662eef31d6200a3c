#!/usr/bin/env bash
# Converts every drawing of the shared corpus to every conversion target
# with the batch run of the program, and writes one line per output file
# (drawing, target, exit status, SHA-256 of the file, file name) plus one
# for the messages on standard error. Two runs of two builds give
# comparable lists: `diff` them to see whether any output byte changed.
#
#   scripts/corpus-checksums.sh [program] [list] [corpus]
#
# program  the program to run (default build/src/planox)
# list     where the list goes (default standard output)
# corpus   the drawings (default ../shared/dxf-corpus)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$here/build/src/planox}")"
list="${2:-/dev/stdout}"
corpus="$(realpath "${3:-$here/../shared/dxf-corpus}")"
jobs="${JOBS:-2}"

if [ ! -x "$program" ]; then echo "no program at $program" >&2; exit 2; fi
if [ ! -d "$corpus" ]; then echo "no corpus at $corpus" >&2; exit 2; fi

# The /C codes of the thirteen targets; the CNC target once per dialect.
targets="PLT ART HPG CNC:/L1 CNC:/L2 CNC:/L3 CNC:/L4 CNC:/L5 DXF PAS IGS C PL2 PS HPL GRM SVG"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Outputs carry the date and time of the run: the clock is held at one
# moment so that two runs can be compared byte for byte.
printf '#include <time.h>\ntime_t time(time_t* t) { if (t) *t = 1700000000; return 1700000000; }\n' \
  >"$work/clock.c"
cc -shared -fPIC -o "$work/clock.so" "$work/clock.c"

convert_one() {  # drawing target
  local drawing="$1" job="$2"
  local code="${job%%:*}" extra=""
  [ "$job" != "$code" ] && extra="${job#*:}"
  local name="${drawing#"$corpus"/}"
  local dir="$work/$(printf '%s|%s' "$name" "$job" | sha256sum | cut -c1-16)"
  mkdir -p "$dir/tmp"
  local rc=0
  # A fresh directory each time: no configuration or session file, and the
  # work files in a private temporary folder.
  (cd "$dir" && LD_PRELOAD="$work/clock.so" TEMP="$dir/tmp" TMPDIR="$dir/tmp" QT_QPA_PLATFORM=offscreen \
     timeout 120 "$program" "$drawing" "/C$code" $extra /D3 /FOUT </dev/null \
     >"$dir/tmp/stdout" 2>"$dir/tmp/stderr") || rc=$?
  local out=""
  for f in "$dir"/*; do
    [ -f "$f" ] || continue
    out+="$name $job rc=$rc $(sha256sum <"$f" | cut -c1-64) ${f##*/}"$'\n'
  done
  # Messages may name the private temporary folder: blank it out.
  local msg
  msg="$(sed "s|$dir|DIR|g" "$dir/tmp/stderr" "$dir/tmp/stdout" | sha256sum | cut -c1-64)"
  out+="$name $job rc=$rc $msg (messages)"
  printf '%s\n' "$out"
  rm -rf "$dir"
}
export -f convert_one
export work corpus program

find "$corpus" -type f -iname '*.dxf' | LC_ALL=C sort | while read -r drawing; do
  for t in $targets; do printf '%s\t%s\n' "$drawing" "$t"; done
done | xargs -P "$jobs" -d '\n' -n 1 bash -c 'IFS=$'"'"'\t'"'"' read -r d t <<<"$1"; convert_one "$d" "$t"' _ \
  | LC_ALL=C sort >"$list"
