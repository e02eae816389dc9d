#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every benchmark program and every peer comparison script (bench/*-peer.sh) inside a
# private X desktop. Results go to build/bench-results/.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/bench-results
mkdir -p "$out"
run_all() {
  for exe in build/bench/bench_*; do
    # Only the programs: the build folder also holds bench_*_autogen directories.
    [ -f "$exe" ] && [ -x "$exe" ] || continue
    name=$(basename "$exe")
    echo "== $name"
    "$exe" --benchmark_out="$out/$name.json" --benchmark_out_format=json | tee "$out/$name.txt"
  done
  for peer in bench/*-peer.sh; do
    [ -f "$peer" ] || continue
    echo "== $(basename "$peer")"
    bash "$peer" | tee "$out/$(basename "$peer" .sh).txt"
  done
}
export -f run_all
export out
bash scripts/with-desktop.sh bash -c run_all
