#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The `tesseract` command beside our recognizer on the same image files with the same models
# (kor+eng from the installed tessdata, LSTM engine): a 1600x1000 window and two 4K screens.
# Both sides are timed in this one run. The command is timed as installed (its OpenMP threads
# on) and with OMP_THREAD_LIMIT=1, and loads its models on every run, so our cold time (a new
# recognizer, engines loaded) is shown beside the warm one the application sees. Ratios are
# our warm time / the command's better time (lower is better). Error rates are computed the
# same way for both: lines in reading order against the known text, on these images and on every
# screen of the recognition tests' generated set drawn in each common interface font (per screen,
# and pooled per font).
set -euo pipefail
cd "$(dirname "$0")/.."
bench=build/bench/bench_TextRecognitionBench
tess=$(command -v tesseract)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
runs=${PEER_RUNS:-2}

"$bench" --write-inputs="$tmp" 2>/dev/null
"$bench" --benchmark_format=json >"$tmp/ours.json" 2>/dev/null

best_of() { # best wall time in ms of running the command on image $1, environment before it
  local name=$1 best="" ms start
  shift
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    env "$@" "$tess" "$tmp/$name.png" "$tmp/$name" -l kor+eng --oem 1 --psm 3 tsv >/dev/null 2>&1
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}

for name in window1600 screen4k busy4k; do
  threaded=$(best_of "$name")
  single=$(best_of "$name" OMP_THREAD_LIMIT=1)
  echo "$name $threaded $single $("$bench" --peer-cer="$name:$tmp/$name.tsv" 2>/dev/null)" >>"$tmp/peer.txt"
done

# The screens of the test set in each font, read once each by the command (their accuracy, not
# their time).
printf '%s\0' "$tmp"/set-*.png | xargs -0 -P "$(nproc)" -I{} sh -c \
  'OMP_THREAD_LIMIT=1 "$0" "$1" "${1%.png}" -l kor+eng --oem 1 --psm 3 tsv >/dev/null 2>&1' "$tess" {}
"$bench" --peer-set="$tmp" 2>/dev/null >"$tmp/set.txt"

python3 - "$tmp" <<'PY'
import json, os, sys
tmp = sys.argv[1]
ours = {"/".join(b["name"].split("/")[:2]): b for b in json.load(open(os.path.join(tmp, "ours.json")))["benchmarks"]}
version = os.popen("tesseract --version 2>&1 | head -1").read().strip()
print(f"{version}, models kor+eng, {os.cpu_count()} processors; times in ms")
print(f"{'image':11} {'warm':>6} {'cold':>6} {'cmd':>6} {'cmd 1t':>6} {'warm/cmd':>8} {'cold/cmd':>8} "
      f"{'our CER':>8} {'cmd CER':>8}")
for line in open(os.path.join(tmp, "peer.txt")):
    name, threaded, single, their_cer = line.split()
    theirs = min(float(threaded), float(single))
    warm, cold = ours[f"warm/{name}"], ours[f"cold/{name}"]
    print(f"{name:11} {warm['real_time']:6.0f} {cold['real_time']:6.0f} {float(threaded):6.0f} {float(single):6.0f} "
          f"{warm['real_time'] / theirs:8.2f} {cold['real_time'] / theirs:8.2f} {warm['cer']:8.4f} {float(their_cer):8.4f}")
one, several = ours["oneEngine/busy4k"]["real_time"], ours["warm/busy4k"]["real_time"]
print(f"busy4k warm: one engine {one:.0f} ms, several engines on separate blocks {several:.0f} ms "
      f"({one / several:.2f}x)")
print("\nAccuracy on the test set's screens in each font (the command with --psm 3, its lines in our "
      "reading order)")
print(open(os.path.join(tmp, "set.txt")).read(), end="")
PY
