#!/usr/bin/env bash
# A short run of every built fuzz target under AddressSanitizer and UBSan
# (the targets of `make fuzz`). Seeds: fuzz/seeds/<name>/ when present, and
# for the DXF reader the shared drawing corpus when it is there.
# FUZZ_SECONDS sets the time per target (default 20); the mutation sequence
# starts from FUZZ_SEED (default 1), so a run repeats the same inputs.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-fuzz/fuzz}
seconds=${FUZZ_SECONDS:-20}
seed=${FUZZ_SEED:-1}
status=0
for f in "$dir"/fuzz_*; do
  [ -f "$f" ] && [ -x "$f" ] || continue
  name=$(basename "$f"); name=${name#fuzz_}
  work=$(mktemp -d)
  seeds=()
  [ -d "fuzz/seeds/$name" ] && seeds+=("fuzz/seeds/$name")
  if [ "$name" = dxfin ] && [ -d ../shared/dxf-corpus ]; then
    seeds+=(../shared/dxf-corpus/ezdxf ../shared/dxf-corpus/dxf-parser)
  fi
  echo "== fuzz_$name for ${seconds}s"
  if ! "$f" -seed="$seed" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -artifact_prefix="$work/" "$work" "${seeds[@]}" > "$work/log" 2>&1; then
    tail -40 "$work/log"
    echo "fuzz_$name failed; the input is in $work"
    status=1
    continue
  fi
  rm -rf "$work"
done
exit $status
