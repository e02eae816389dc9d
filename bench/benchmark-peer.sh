#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# ImageMagick and the `tesseract` command on the inputs of `tarnwick --benchmark`, beside that
# benchmark's own figures. The benchmark runs first (its report gives our medians and its
# render-4k-redacted.png the pixels the peer encodes and shrinks); bench_RenderBench writes the
# 4K input and the privacy sample from the same generator the benchmark calls. Then:
#   render     the 4K input with the benchmark's 8 black masks and 24 coral arrows (12 px round
#              strokes, 48 px heads at 30 degrees), drawn by one `-draw` of the primitives in
#              marks.mvg (given inline: Debian's policy forbids reading `@file` arguments)
#   PNG        our render encoded at zlib level 7, filtered strategy, adaptive row filters, no
#              metadata: the settings of our encoder
#   thumbnail  our render shrunk to 720x405 by area averaging (`-scale`), our kernel
#   OCR        the privacy sample read with kor+eng and the LSTM engine, one process per run,
#              both as installed (its OpenMP threads on) and pinned to one thread with
#              OMP_THREAD_LIMIT=1, as bench/tesseract-peer.sh does: under load the threaded
#              form can wait for its threads for tens of seconds
# ImageMagick runs once untimed and 9 times timed per row, reading its memory-mapped cache
# format (.mpc); the median of reading that file alone is taken off its medians, so only the
# drawing, encoding or shrinking is compared. OCR is compared warm against warm and cold against
# cold: our first recognition (a new recognizer loading its engines) against the command's
# first run of each form, and our later recognitions against the median of 3 further runs of
# each form (whose files are then cached; the command still loads its models every run, which
# ours does once). Ratios are ours / the peer's: lower is better for us.
set -euo pipefail

usage() {
  cat <<'EOF'
Usage: bash bench/benchmark-peer.sh [--keep <dir>]
Times ImageMagick and the tesseract command on the inputs of `tarnwick --benchmark` and prints
our median, the peer's median and their ratio per measurement. Needs a built tree (make build).
  --keep <dir>  leave the inputs, the peer's outputs and our report in <dir>
EOF
}

keep=""
while [ $# -gt 0 ]; do
  case "$1" in
    -h | --help) usage; exit 0 ;;
    --keep) [ $# -ge 2 ] || { usage >&2; exit 2; }; keep=$2; shift 2 ;;
    *) usage >&2; exit 2 ;;
  esac
done

cd "$(dirname "$0")/.."
app=build/src/app/tarnwick
inputs=build/bench/bench_RenderBench
for exe in "$app" "$inputs"; do
  [ -x "$exe" ] || { echo "benchmark-peer: $exe is missing; run make build first" >&2; exit 1; }
done
# The packaged programs: anything earlier on PATH may be a wrapper with costs of its own.
im=""
for candidate in /usr/bin/magick /usr/bin/convert; do
  if [ -x "$candidate" ]; then im=$candidate; break; fi
done
[ -n "$im" ] || { echo "benchmark-peer: ImageMagick is not installed (scripts/deps.sh)" >&2; exit 1; }
tess=/usr/bin/tesseract
[ -x "$tess" ] || { echo "benchmark-peer: tesseract is not installed (scripts/deps.sh)" >&2; exit 1; }

if [ -n "$keep" ]; then
  mkdir -p "$keep"
  work=$(cd "$keep" && pwd)
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi

load_start=$(cut -d' ' -f1-3 /proc/loadavg)
"$app" --benchmark "$work/ours" >/dev/null
"$inputs" --write-benchmark-inputs="$work" 2>/dev/null ||
  { echo "benchmark-peer: $inputs could not write the inputs into $work" >&2; exit 1; }

python3 - "$im" "$tess" "$work" "$load_start" <<'PY'
import json, math, os, subprocess, sys, time

im, tess, work, load_start = sys.argv[1:5]
W, H = 3840, 2160

def path(name):
    return os.path.join(work, name)

def median(values):  # the benchmark's rule: the upper middle sample
    return sorted(values)[len(values) // 2]

def timed_runs(command, runs, warmup):
    samples = []
    for run in range(warmup + runs):
        start = time.perf_counter()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if run >= warmup:
            samples.append((time.perf_counter() - start) * 1000)
    return samples

def magick(*args):
    return median(timed_runs([im, *args], runs=9, warmup=1))

# The benchmark document: mark i starts at ((i mod 8) 0.1 + 0.1, (i div 8) 0.1 + 0.4) and ends
# 0.045 right and 0.055 down; every fourth is a mask, the rest arrows. Widths follow the
# renderer: a scale of width / 1600, weight 5, heads max(16 scale, 4 width) long.
scale = W / 1600
width = scale * 5.0
head = max(16 * scale, 4 * width)
arrows, masks = [], []
for i in range(32):
    x0, y0 = ((i % 8) * 0.1 + 0.1) * W, ((i // 8) * 0.1 + 0.4) * H
    x1, y1 = x0 + 0.045 * W, y0 + 0.055 * H
    if i % 4 == 0:
        masks.append(f"rectangle {math.floor(x0)},{math.floor(y0)} {math.ceil(x1) - 1},{math.ceil(y1) - 1}")
        continue
    angle, spread = math.atan2(y1 - y0, x1 - x0), math.pi / 6
    a = (x1 - head * math.cos(angle - spread), y1 - head * math.sin(angle - spread))
    b = (x1 - head * math.cos(angle + spread), y1 - head * math.sin(angle + spread))
    arrows.append(f"line {x0:.2f},{y0:.2f} {x1:.2f},{y1:.2f}")
    arrows.append(f"polyline {a[0]:.2f},{a[1]:.2f} {x1:.2f},{y1:.2f} {b[0]:.2f},{b[1]:.2f}")
marks = "\n".join(["push graphic-context",
                   f"stroke '#ff664d' stroke-width {width:g} stroke-linecap round stroke-linejoin round fill none",
                   *arrows, "pop graphic-context", "push graphic-context", "stroke none fill black", *masks,
                   "pop graphic-context"]) + "\n"
with open(path("marks.mvg"), "w") as mvg:
    mvg.write(marks)

subprocess.run([im, path("bench-input-4k.png"), path("input.mpc")], check=True)
subprocess.run([im, path("ours/render-4k-redacted.png"), path("render.mpc")], check=True)
# One untimed picture of each peer output, to look at and to weigh.
subprocess.run([im, path("input.mpc"), "-draw", marks, path("peer-render.png")], check=True)
png_settings = ["-strip", "-define", "png:compression-level=7", "-define", "png:compression-strategy=1",
                "-define", "png:compression-filter=5"]
subprocess.run([im, path("render.mpc"), *png_settings, path("peer-encode.png")], check=True)
subprocess.run([im, path("render.mpc"), "-scale", "720x405", path("peer-thumbnail.png")], check=True)

read_input = magick(path("input.mpc"), "null:")
read_render = magick(path("render.mpc"), "null:")
peer = {
    "render_4k_32_annotations": magick(path("input.mpc"), "-draw", marks, "null:") - read_input,
    "png_encode_4k": magick(path("render.mpc"), *png_settings, path("peer-timed.png")) - read_render,
    "thumbnail_720px": magick(path("render.mpc"), "-scale", "720x405", "null:") - read_render,
}
tesseract = [tess, path("privacy-sample.png"), path("peer-ocr"), "-l", "kor+eng", "--oem", "1", "tsv"]
ocr_forms = {"threaded": {}, "1 thread": {"OMP_THREAD_LIMIT": "1"}}
peer_ocr = {}
for form, pinned in ocr_forms.items():
    environment = {**os.environ, **pinned}
    samples = []
    for run in range(4):
        start = time.perf_counter()
        subprocess.run(tesseract, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=environment)
        samples.append((time.perf_counter() - start) * 1000)
    peer_ocr[form] = {"cold": samples[0], "warm": median(samples[1:])}

report = json.load(open(path("ours/benchmark.json")))
ours = {m["name"]: m for m in report["measurements"]}
commands = {
    "render_4k_32_annotations": "-draw <marks.mvg>",
    "png_encode_4k": "-strip, zlib 7, filtered, adaptive",
    "thumbnail_720px": "-scale 720x405",
}
lines = set()
for row in open(path("peer-ocr.tsv"), encoding="utf-8"):
    cells = row.rstrip("\n").split("\t")
    if cells[0] == "5" and len(cells) == 12 and cells[11].strip():
        lines.add(tuple(cells[2:5]))

version = subprocess.run([im, "-version"], capture_output=True, text=True).stdout.splitlines()[0]
threads = next((l.split(":")[1].strip() for l in subprocess.run([im, "-list", "resource"], capture_output=True,
                text=True).stdout.splitlines() if l.strip().startswith("Thread")), "?")
tess_version = subprocess.run([tess, "--version"], capture_output=True, text=True).stdout.splitlines()[0]
load_end = open("/proc/loadavg").read().split()[:3]
print(f"ours: tarnwick --benchmark, build {report['build']}, {report['processorCount']} processors")
print(f"peer: {version.removeprefix('Version: ')} ({threads} threads); {tess_version}")
print(f"load average: {load_start} at start, {' '.join(load_end)} at end")
print(f"ImageMagick file read taken off: input {read_input:.1f} ms, render {read_render:.1f} ms")
print(f"{'measurement':26} {'ours ms':>9} {'peer ms':>9} {'ours/peer':>9}  peer")
for name, theirs in peer.items():
    mine = ours[name]["medianMilliseconds"]
    print(f"{name:26} {mine:9.1f} {theirs:9.1f} {mine / theirs:9.2f}  {commands[name]}")
their_bytes = os.path.getsize(path("peer-timed.png"))
print(f"PNG bytes: ours {report['exportedPNGBytes']}, ImageMagick {their_bytes} "
      f"(ours/peer {report['exportedPNGBytes'] / their_bytes:.3f})")
ocr = ours["vision_ocr_1600px"]["samplesMilliseconds"]
our_ocr = {"cold": ocr[0], "warm": median(ocr[1:]) if len(ocr) > 1 else ocr[0]}
print(f"OCR, privacy sample, tesseract -l kor+eng --oem 1 (threaded as installed; 1 thread: OMP_THREAD_LIMIT=1)")
print(f"{'vision_ocr_1600px':26} {'ours ms':>9} {'threaded':>9} {'1 thread':>9} {'ours/thr':>9} {'ours/1t':>9}")
for kind, note in (("warm", "ours: later runs; peer: median of 3 runs after its first"),
                   ("cold", "ours: first run, engines loaded; peer: its first run")):
    mine, threaded, single = our_ocr[kind], peer_ocr["threaded"][kind], peer_ocr["1 thread"][kind]
    print(f"{'  ' + kind:26} {mine:9.1f} {threaded:9.1f} {single:9.1f} {mine / threaded:9.2f} {mine / single:9.2f}"
          f"  {note}")
print(f"OCR lines found: ours {report['recognizedRegionCount']}, tesseract {len(lines)}")
PY
