#!/usr/bin/env bash
# The Wine test bench: a private prefix, an Xvfb display and COM1..COM4 on paths
# inside the build folder, so tests never touch the user's Wine or display.
#
#   wine-bench.sh run   BUILD_DIR PROGRAM [ARGS...]   run a Windows program on the bench
#   wine-bench.sh setup BUILD_DIR                     make the prefix and start the display
#   wine-bench.sh stop  BUILD_DIR                     stop the display and the wineserver
#   wine-bench.sh env   BUILD_DIR                     print the environment (for a shell: eval)
set -euo pipefail

cmd=${1:?usage: wine-bench.sh run|setup|stop|env BUILD_DIR ...}
build=$(cd "${2:?build folder}" && pwd)
shift 2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# VANTOR_BENCH_DIR: another bench folder (own prefix, display and ports) for the same build.
bench=${VANTOR_BENCH_DIR:-$build/wine}
mkdir -p "$bench/com"
export WINEPREFIX=$bench/prefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export VANTOR_COM_DIR=$bench/com

log() { echo "wine-bench: $*" >&2; }
. "$here/../tools/wine-fonts.sh"

display_alive() {
  [ -f "$bench/xvfb.pid" ] && [ -f "$bench/xvfb.display" ] &&
    kill -0 "$(cat "$bench/xvfb.pid")" 2>/dev/null
}

start_display() {
  display_alive && return 0
  rm -f "$bench/xvfb.display"
  # -displayfd picks a free display number; setsid keeps Xvfb alive across test processes.
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$bench/xvfb.display" >/dev/null 2>"$bench/xvfb.log" &
  echo $! >"$bench/xvfb.pid"
  for _ in $(seq 100); do
    [ -s "$bench/xvfb.display" ] && break
    sleep 0.1
  done
  [ -s "$bench/xvfb.display" ] || { log "Xvfb did not start:"; cat "$bench/xvfb.log" >&2; exit 1; }
}

use_display() {
  export DISPLAY=":$(tr -d '[:space:]' <"$bench/xvfb.display")"
}

# Settings added after a prefix was first made; a prefix made before them gets
# them once. Raise the number when adding one.
prefix_settings_version=3
configure_prefix() {
  [ "$(cat "$bench/prefix.configured" 2>/dev/null)" = "$prefix_settings_version" ] && return 0
  # Fonts for the Japanese notice and the caption buttons.
  wine_fonts_setup
  # The manual opens in the browser Wine's winebrowser starts; on the bench that
  # is a recorder, so tests see which page was asked for and no host browser starts.
  printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$bench/browser.log" >"$bench/browser"
  chmod +x "$bench/browser"
  wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$bench/browser" /f >/dev/null 2>&1
  # A prefix made with mshtml off lacks the association of .html with Wine's
  # "htmlfile" (winebrowser), which every other prefix has.
  wine reg add 'HKCR\.html' /ve /d htmlfile /f >/dev/null 2>&1
  wine reg add 'HKCR\.htm' /ve /d htmlfile /f >/dev/null 2>&1
  echo "$prefix_settings_version" >"$bench/prefix.configured"
}

make_prefix() {
  if [ -f "$bench/prefix.ready" ]; then
    configure_prefix
    return 0
  fi
  log "creating the Wine prefix in $WINEPREFIX (first use only)"
  rm -rf "$WINEPREFIX"
  wineboot -i >"$bench/wineboot.log" 2>&1
  # COM1..COM4 are paths in the build folder; tests put pseudo-terminals there.
  for n in 1 2 3 4; do
    wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /d "$bench/com/COM$n" /f >/dev/null 2>&1
  done
  # Pointer acceleration off, so a move of (0, -5) moves by exactly that.
  wine reg add 'HKCU\Control Panel\Mouse' /v MouseSpeed /d 0 /f >/dev/null 2>&1
  wine reg add 'HKCU\Control Panel\Mouse' /v MouseThreshold1 /d 0 /f >/dev/null 2>&1
  wine reg add 'HKCU\Control Panel\Mouse' /v MouseThreshold2 /d 0 /f >/dev/null 2>&1
  # No window manager runs on the bench's display: Wine draws the frames and
  # captions itself, so screenshots show what a user sees.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # The port mapping is read when the wineserver starts its devices.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wine cmd /c exit >/dev/null 2>&1 || true
  if [ "$(readlink "$WINEPREFIX/dosdevices/com1")" != "$bench/com/COM1" ]; then
    log "COM1 is not mapped to $bench/com/COM1"; exit 1
  fi
  rm -f "$bench/prefix.configured"
  configure_prefix
  touch "$bench/prefix.ready"
}

setup() {
  # One test at a time sets the bench up; the others wait here.
  exec 9>"$bench/lock"
  flock 9
  start_display
  use_display
  make_prefix
  # A persistent wineserver saves each test program seconds of start-up. Its
  # services start with the first program; start them here, away from any test's
  # output, or ctest would wait for them to close that test's pipe.
  if [ ! -f "$bench/wineserver.started" ]; then
    wineserver -p >/dev/null 2>&1 </dev/null || true
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
    touch "$bench/wineserver.started"
  fi
  flock -u 9
}

start_pty_hub() {
  local hub=$build/bench/pty_hub
  [ -x "$hub" ] || return 0
  rm -f "$bench/pty_hub.port"
  "$hub" --com-dir "$bench/com" --port-file "$bench/pty_hub.port" 2>>"$bench/pty_hub.log" &
  hub_pid=$!
  for _ in $(seq 100); do
    [ -s "$bench/pty_hub.port" ] && break
    sleep 0.02
  done
  export VANTOR_PTY_HUB=$(cat "$bench/pty_hub.port")
}

case $cmd in
  setup)
    setup
    ;;
  run)
    setup
    hub_pid=
    start_pty_hub
    # The program's output goes through a file: a Wine service started by this run
    # may keep the descriptors it inherited, and ctest would wait for it.
    status=0
    if [ -n "${VANTOR_BENCH_LIVE:-}" ]; then
      # A person is watching (make demo): the program's own terminal, live.
      wine "$@" 2> >(grep -v -E '^(ALSA|wine: |[0-9a-f]+:(fixme|err))' >&2) || status=$?
    else
      out=$(mktemp "$bench/run.XXXXXX")
      wine "$@" >"$out" 2>&1 </dev/null || status=$?
      if grep -q '^wine client error' "$out"; then
        # The wineserver itself went away under the program (seen once in a long
        # run): that says nothing about the program, so start a new server and
        # run the program once more.
        log "the wineserver went away; starting a new one and running again"
        cat "$out" >&2
        rm -f "$bench/wineserver.started"
        setup
        status=0
        wine "$@" >"$out" 2>&1 </dev/null || status=$?
      fi
      if [ "$status" -ne 0 ] && [ ! -s "$out" ]; then
        # Failed before writing a byte: Wine did not get the program going (seen once
        # in a run of hundreds, 0.05 s in, on a test that cannot fail that way). Say so
        # and run it once more; a program that really fails fails again.
        log "the program ended with status $status before writing anything; running it again"
        echo "$(date -u +%FT%TZ) status $status, no output: $*" >>"$bench/silent-failures.log"
        status=0
        wine "$@" >"$out" 2>&1 </dev/null || status=$?
      fi
      if [ "$status" -eq 0 ] && printf '%s\n' "$@" | grep -q '^--gtest_filter=' &&
         ! grep -q '^\[  PASSED  \]' "$out"; then
        # A test program killed from outside (its wineserver gone) can end with 0
        # before gtest has said anything: that is no pass.
        log "the test program ended without gtest's result line; counting it as failed"
        status=1
      fi
      cat "$out"
      rm -f "$out"
    fi
    [ -n "$hub_pid" ] && kill "$hub_pid" 2>/dev/null && wait "$hub_pid" 2>/dev/null || true
    # The hub's terminals are gone: leave no COMn link to a /dev/pts number that
    # another program may get next.
    rm -f "$bench/com/COM"*
    exit $status
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    rm -f "$bench/wineserver.started"
    if display_alive; then kill "$(cat "$bench/xvfb.pid")" 2>/dev/null || true; fi
    rm -f "$bench/xvfb.pid" "$bench/xvfb.display"
    ;;
  env)
    setup
    echo "export WINEPREFIX='$WINEPREFIX' WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY='$DISPLAY' VANTOR_COM_DIR='$VANTOR_COM_DIR'"
    ;;
  *)
    log "unknown command $cmd"
    exit 2
    ;;
esac
