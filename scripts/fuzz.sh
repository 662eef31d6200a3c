#!/usr/bin/env bash
# Runs every built fuzz target (the targets of `make fuzz`) under
# AddressSanitizer and UBSan for FUZZ_SECONDS each (default 20), then
# prints one line per target: executions, coverage (edges reached),
# corpus size and findings.
# Seeds: fuzz/seeds/<name>/, plus the sample drawings for the drawing
# targets, the shape font for its parser and, for the DXF reader, the
# shared drawing corpus when it is there. The mutation sequence starts from
# FUZZ_SEED (default 1), so a run repeats the same inputs. A finding is kept
# in fuzz-findings/<name>/ and makes the exit code 1.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-fuzz/fuzz}
seconds=${FUZZ_SECONDS:-20}
seed=${FUZZ_SEED:-1}
status=0
summary=()
for f in "$dir"/fuzz_*; do
  [ -f "$f" ] && [ -x "$f" ] || continue
  name=$(basename "$f"); name=${name#fuzz_}
  work=$(mktemp -d)
  seeds=()
  # Full names: a target may change its current directory.
  [ -d "fuzz/seeds/$name" ] && seeds+=("$PWD/fuzz/seeds/$name")
  case $name in
    dxfin|convert) seeds+=("$PWD/samples") ;;
    shpin) seeds+=("$PWD/data") ;;
  esac
  if [ "$name" = dxfin ] && [ -d ../shared/dxf-corpus ]; then
    seeds+=("$(cd ../shared/dxf-corpus && pwd)/ezdxf" "$(cd ../shared/dxf-corpus && pwd)/dxf-parser")
  fi
  echo "== fuzz_$name for ${seconds}s"
  mkdir -p "$work/corpus"
  rc=0
  "$f" -seed="$seed" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" "${seeds[@]}" \
      < /dev/null > "$work/log" 2>&1 || rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1 || true)
  cov=$( (grep -o 'cov: [0-9]*' "$work/log" || true) | tail -1 | tr -dc 0-9)
  units=$(ls "$work/corpus" | wc -l)
  findings=$(find "$work" -maxdepth 1 -name 'crash-*' -o -maxdepth 1 -name 'leak-*' \
             -o -maxdepth 1 -name 'timeout-*' -o -maxdepth 1 -name 'oom-*' | wc -l)
  summary+=("$(printf '%-14s %12s executions  %6s edges  %6s new inputs  %s findings' \
               "$name" "${runs:-?}" "${cov:-?}" "$units" "$findings")")
  if [ "$rc" -ne 0 ] || [ "$findings" -ne 0 ]; then
    tail -40 "$work/log"
    mkdir -p "fuzz-findings/$name"
    cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* "$work/log" "fuzz-findings/$name/" 2>/dev/null || true
    echo "fuzz_$name failed; the input and the log are in fuzz-findings/$name"
    status=1
  fi
  rm -rf "$work"
done
echo "== summary (${seconds}s per target, seed $seed)"
printf '%s\n' "${summary[@]}"
exit $status
