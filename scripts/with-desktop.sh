#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command inside a private X desktop: Xvfb (1920x1080x24), the openbox window manager,
# a tray host (trayer) and a PulseAudio server with a null sink, all stopped afterwards. Four
# more such desktops (TARN_EXCLUSIVE_DISPLAY, TARN_EXCLUSIVE_DISPLAY2 to TARN_EXCLUSIVE_DISPLAY4)
# are there for the tests that need one to themselves; the third is managed by metacity and the
# fourth by KDE's kwin_x11 instead, for the tests that must hold under other window managers.
# HOME and the XDG folders point into a temporary folder, so no run touches real settings, and its
# own fontconfig file names the fonts.
set -uo pipefail

work=$(mktemp -d /tmp/tarnwick-desktop.XXXXXX)
cleanup() {
  [ -d "$work" ] || return 0 # a signal's cleanup already ran
  touch "$work/stopping"
  if [ -s "$work/restarts" ]; then
    cat "$work/restarts" >&2
    tail -n 20 "$work/kwin.log" "$work/metacity.log" "$work/openbox.log" >&2 2>/dev/null
  fi
  # Only the servers that still run: the number of one that ended early may belong to another
  # program by now (a busy machine reuses them within minutes), the window manager of a run
  # beside this one among them.
  kill $(jobs -pr) 2>/dev/null
  # The sound server runs detached: stopped through its own pid file, which it checks against
  # the process, and awaited until it is gone, or it still writes into the folder being removed.
  pulse=$(cat "$work/runtime/pulse/pid" 2>/dev/null)
  if [ -n "$pulse" ] && XDG_RUNTIME_DIR="$work/runtime" pulseaudio --kill 2>/dev/null; then
    for _ in $(seq 1 50); do kill -0 "$pulse" 2>/dev/null || break; sleep 0.1; done
  fi
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# Starts an Xvfb on a display number the server picks itself (no race between runs started at
# once); sets `started` to ":N".
start_display() {
  local name=$1
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp +extension RANDR 3>"$work/$name.display" \
    >"$work/$name.log" 2>&1 &
  for _ in $(seq 1 100); do [ -s "$work/$name.display" ] && break; sleep 0.1; done
  if [ ! -s "$work/$name.display" ]; then echo "with-desktop: Xvfb did not start" >&2; cat "$work/$name.log" >&2; exit 1; fi
  started=":$(head -n 1 "$work/$name.display")"
}
# The desktop everything runs on, and four more for the tests whose name begins with
# "Exclusive" (they inject real input or need focus): on each, only one test at a time shows
# windows, so no parallel test's window can cover what a click or a key is meant for. Two of
# them let two such tests run at once instead of one after the other; the third and fourth run
# the tests chosen to run under metacity and kwin_x11 as well (tests/app/CMakeLists.txt).
start_display xvfb
main_display=$started
start_display xvfb-exclusive
exclusive_display=$started
start_display xvfb-exclusive2
exclusive_display2=$started
start_display xvfb-exclusive3
exclusive_display3=$started
start_display xvfb-exclusive4
exclusive_display4=$started
export DISPLAY=$main_display TARN_EXCLUSIVE_DISPLAY=$exclusive_display TARN_EXCLUSIVE_DISPLAY2=$exclusive_display2
export TARN_EXCLUSIVE_DISPLAY3=$exclusive_display3 TARN_EXCLUSIVE_DISPLAY4=$exclusive_display4
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# Fonts named, not found: the system's configuration with the generic families pinned, so that
# what the tests draw and read does not hang on which other fonts the machine has (fonts-noto-core
# makes Noto Sans the system sans, as on a KDE desktop). Hangul comes from Noto Sans CJK KR.
cat >"$work/fonts.conf" <<'XML'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="no">/etc/fonts/fonts.conf</include>
  <match target="pattern">
    <test name="family"><string>sans-serif</string></test>
    <edit name="family" mode="prepend" binding="strong"><string>DejaVu Sans</string><string>Noto Sans CJK KR</string></edit>
  </match>
  <match target="pattern">
    <test name="family"><string>serif</string></test>
    <edit name="family" mode="prepend" binding="strong"><string>DejaVu Serif</string><string>Noto Serif CJK KR</string></edit>
  </match>
  <match target="pattern">
    <test name="family"><string>monospace</string></test>
    <edit name="family" mode="prepend" binding="strong"><string>DejaVu Sans Mono</string><string>Noto Sans Mono CJK KR</string></edit>
  </match>
</fontconfig>
XML
export FONTCONFIG_FILE="$work/fonts.conf"

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# A window manager and a tray host on each desktop. Metacity keeps its settings in memory (no
# session bus here) and composites, as it does by default: its frames then have the invisible
# borders, transparent rounded corners and shadows of GNOME's window managers. Openbox composites
# nothing, nor does kwin_x11 (KWIN_COMPOSE=N), which runs on Qt's X11 platform whatever the tests'
# QT_QPA_PLATFORM, with a new KDE user's settings but for the four desktops the others have (it
# starts with one). A test starts once its desktop's window manager names itself on the root
# window: before that its windows would be mapped unmanaged.
# A window manager that ends before the run does (kwin_x11 has been seen to, once, before any test
# used its desktop) is started again, and said so at the end with the end of its log, so that the
# tests after it do not all fail on an unmanaged desktop and the one that failed can be told why.
keep_managing() {
  local log=$1
  shift
  local pid status
  trap 'kill $pid 2>/dev/null; exit 0' TERM
  while [ ! -e "$work/stopping" ]; do
    "$@" >>"$log" 2>&1 &
    pid=$!
    wait $pid
    status=$?
    [ -e "$work/stopping" ] && break
    echo "with-desktop: $1 on $DISPLAY ended with status $status; started again" | tee -a "$log" >>"$work/restarts"
    sleep 0.5
  done
}
printf '[Desktops]\nNumber=4\nRows=1\n' >"$XDG_CONFIG_HOME/kwinrc"
for shown in "$main_display" "$exclusive_display" "$exclusive_display2" "$exclusive_display3" "$exclusive_display4"; do
  if [ "$shown" = "$exclusive_display3" ]; then
    DISPLAY=$shown GSETTINGS_BACKEND=memory keep_managing "$work/metacity.log" metacity --sm-disable --compositor=xrender &
  elif [ "$shown" = "$exclusive_display4" ]; then
    DISPLAY=$shown QT_QPA_PLATFORM=xcb KWIN_COMPOSE=N keep_managing "$work/kwin.log" kwin_x11 --replace &
  else
    DISPLAY=$shown keep_managing "$work/openbox.log" openbox &
  fi
  # kwin_x11 loads much more than the others: a cold start on a busy machine takes seconds.
  for _ in $(seq 1 300); do
    DISPLAY=$shown xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
  DISPLAY=$shown trayer --edge top --align right --widthtype request --height 24 >>"$work/trayer.log" 2>&1 &
done

# PulseAudio for the recorder's audio tests: a null sink whose monitor is the "system audio".
if command -v pulseaudio >/dev/null; then
  pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit --disable-shm=true \
    --load="module-null-sink sink_name=tarn_null" --log-target=file:"$work/pulse.log" >/dev/null 2>&1 || true
fi

"$@"
