#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for SECONDS each, starting from the seeds in
# tests/fuzz/corpus/<target>/. New inputs go to BUILD/fuzz-corpus/<target>/, crashes to
# BUILD/fuzz-artifacts/. Fails when a target crashes, leaks or hangs.
# Usage: scripts/fuzz.sh BUILD_DIR SECONDS
set -euo pipefail

build=${1:?usage: fuzz.sh BUILD_DIR SECONDS}
seconds=${2:?usage: fuzz.sh BUILD_DIR SECONDS}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$build" && pwd)

shopt -s nullglob
targets=("$build"/fuzz/*_fuzz)
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz.sh: no fuzz targets in $build/fuzz (configure with -DKELVANE_FUZZ=ON)" >&2
  exit 1
fi

status=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  seeds=$root/tests/fuzz/corpus/$name
  work=$build/fuzz-corpus/$name
  artifacts=$build/fuzz-artifacts/$name/
  mkdir -p "$work" "$artifacts"
  echo "== $name for ${seconds}s"
  # One job only: the build machines are small and shared.
  if ! "$target" "$work" "$seeds" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -max_len=65536 -artifact_prefix="$artifacts" -print_final_stats=1 2>"$build/fuzz-$name.log"; then
    echo "fuzz.sh: $name failed; see $build/fuzz-$name.log and $artifacts" >&2
    tail -n 40 "$build/fuzz-$name.log" >&2
    status=1
  else
    grep -E "^stat::number_of_executed_units|^#[0-9]+.*DONE" "$build/fuzz-$name.log" || true
  fi
done
exit $status
