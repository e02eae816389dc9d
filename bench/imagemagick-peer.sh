#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# ImageMagick on the same 4K screenshot-like capture that bench_ImageCodecBench uses: PNG encode
# at ImageMagick's defaults, JPEG encode at quality 92, and the 720-pixel resize. Both sides are
# timed in this one run; the ratio column is our time / ImageMagick's time (lower is better).
# ImageMagick reads its own memory-mapped cache format (.mpc), and the time of reading that
# alone is subtracted, so only the encode or resize is compared.
set -euo pipefail
cd "$(dirname "$0")/.."
bench=build/bench/bench_ImageCodecBench
im=/usr/bin/convert
[ -x "$im" ] || im=$(command -v convert)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$bench" --write-input="$tmp/in.png"
"$im" "$tmp/in.png" "$tmp/in.mpc"
"$bench" --benchmark_filter='pngEncode4K|jpegEncode4K|thumbnail720' --benchmark_min_time=0.5 \
  --benchmark_repetitions=5 --benchmark_format=json >"$tmp/ours.json" 2>/dev/null

python3 - "$im" "$tmp" <<'PY'
import json, os, subprocess, sys, time
im, tmp = sys.argv[1], sys.argv[2]
src = os.path.join(tmp, "in.mpc")

def best(args, runs=5):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run([im, src] + args, check=True)
        times.append(time.perf_counter() - start)
    return min(times) * 1000

ours = {}
for b in json.load(open(os.path.join(tmp, "ours.json")))["benchmarks"]:
    name = b["name"].split("/")[0]
    if b.get("run_type") == "iteration" and (name not in ours or b["real_time"] < ours[name]["real_time"]):
        ours[name] = b
base = best(["null:"])
png_out, jpg_out = os.path.join(tmp, "im.png"), os.path.join(tmp, "im.jpg")
rows = [
    ("PNG encode (defaults)", "pngEncode4K", best([png_out]) - base, png_out),
    ("JPEG encode (quality 92)", "jpegEncode4K", best(["-quality", "92", jpg_out]) - base, jpg_out),
    ("resize to 720 px", "thumbnail720", best(["-resize", "720x720", "null:"]) - base, None),
]
print(f"ImageMagick read-only baseline: {base:.1f} ms (subtracted)")
print(f"{'operation':26} {'ours ms':>9} {'IM ms':>9} {'ours/IM':>8} {'our bytes':>10} {'IM bytes':>10}")
for label, name, theirs, path in rows:
    mine = ours[name]["real_time"]
    our_bytes = int(ours[name].get("bytes", 0)) or ""
    their_bytes = os.path.getsize(path) if path else ""
    print(f"{label:26} {mine:9.1f} {theirs:9.1f} {mine / theirs:8.2f} {our_bytes:>10} {their_bytes:>10}")
PY
