#!/usr/bin/env bash
# tools/vantor-wine with a pseudo-terminal standing for a USB serial adapter: what
# it tells a user about a device it cannot use and about its own options; then it
# maps COM1 to the device in its own prefix and starts the program, which opens the
# port at the IR55 receiver's speed; a second device for a running program is
# refused, and with --close the program is closed its own way (saving its port
# settings) before the mapping changes.
#   vantor_wine_test.sh BUILD_DIR
set -euo pipefail

build=$(cd "${1:?build folder}" && pwd)
src=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bench=$build/wine
work=$bench/vantor-wine-test
prefix=$work/prefix
mkdir -p "$work/com"

fail() { echo "FAIL: $*" >&2; exit 1; }

# The bench's display, for the program's window.
eval "$("$src/bench/wine-bench.sh" env "$build")"
unset VANTOR_COM_DIR

# A prefix of its own, made once from the bench's (the script would otherwise run
# wineboot, which takes longer than the test itself). Wine's DLLs are hard links,
# as nothing writes them; the registry and the rest are copies.
if [ ! -f "$prefix/system.reg" ]; then
  rm -rf "$prefix.new"
  mkdir -p "$prefix.new/drive_c/windows"
  cp -a "$WINEPREFIX"/*.reg "$WINEPREFIX/.update-timestamp" "$WINEPREFIX/dosdevices" "$prefix.new/"
  for entry in "$WINEPREFIX"/drive_c/* "$WINEPREFIX"/drive_c/windows/*; do
    case ${entry#"$WINEPREFIX"/} in
      drive_c/windows) ;;
      drive_c/windows/system32) cp -al "$entry" "$prefix.new/drive_c/windows/" ;;
      *) cp -a "$entry" "$prefix.new/${entry#"$WINEPREFIX"/}" ;;
    esac
  done
  rm -f "$prefix.new/dosdevices/com"*
  mv "$prefix.new" "$prefix"
fi

hub_pid=
cleanup() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  exec 3>&- 5>&- 2>/dev/null || true
  [ -n "$hub_pid" ] && kill "$hub_pid" 2>/dev/null || true
}
trap cleanup EXIT

# The device: a pseudo-terminal from the bench's pty hub, asked for over loopback.
rm -f "$work/hub.port" "$work/com/COM1"
"$build/bench/pty_hub" --com-dir "$work/com" --port-file "$work/hub.port" 2>>"$work/hub.log" &
hub_pid=$!
for _ in $(seq 100); do [ -s "$work/hub.port" ] && break; sleep 0.05; done
port=$(cat "$work/hub.port")
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf 'OPEN 1\n' >&3
for _ in $(seq 100); do [ -L "$work/com/COM1" ] && break; sleep 0.05; done
device=$(readlink "$work/com/COM1") || fail "the pty hub made no terminal"

# What the script says, before any Wine runs: row = expected exit code, text on
# stdout or stderr, then the command.
script=$src/tools/vantor-wine
expect() {
  local code=$1 text=$2 out status=0
  shift 2
  out=$("$@" 2>&1) || status=$?
  [ "$status" -eq "$code" ] || fail "$* ended with $status, not $code: $out"
  printf '%s\n' "$out" | grep -qF -- "$text" || fail "$* did not say '$text': $out"
  printf '%s\n' "$out" | grep -q 'line [0-9]' && fail "$* answered with a bash error: $out"
  return 0
}
touch "$work/plain-file"
expect 2 "--com1 needs a device" "$script" --com1
expect 2 "--com1 needs a device" "$script" --com1 --exe x
expect 1 "/nonexistent/ttyUSB9 does not exist" "$script" --com1 /nonexistent/ttyUSB9
expect 1 "/dev/null is not a serial device" "$script" --com1 /dev/null
expect 1 "$work/plain-file is not a serial device" "$script" --com1 "$work/plain-file"
expect 1 "no display" env -u DISPLAY -u WAYLAND_DISPLAY "$script" --prefix "$work/none" --com1 "$device"
[ ! -e "$work/none" ] || fail "without a display the script still made a prefix"
help=$("$script" --help 2>/dev/null) || fail "--help failed"
printf '%s\n' "$help" | grep -q -- '--com1 .. --com4 DEVICE' || fail "--help did not print the options to stdout"
# Access, as a user who may not open the terminal: first its group may, then only its owner.
if [ "$(id -u)" -eq 0 ] && command -v runuser >/dev/null && id nobody >/dev/null 2>&1; then
  mode=$(stat -c %a "$device")
  group=$(stat -c %G "$device")
  chmod 660 "$device"
  expect 1 "belongs to the group '$group' and you are not in it" runuser -u nobody -- env USER=nobody "$script" --com1 "$device"
  expect 1 "sudo usermod -aG $group nobody" runuser -u nobody -- env USER=nobody "$script" --com1 "$device"
  chmod 600 "$device"
  expect 1 "only its owner $(stat -c %U "$device") may" runuser -u nobody -- env USER=nobody "$script" --com1 "$device"
  chmod "$mode" "$device"
else
  echo "the access messages need root and the user nobody: not checked"
fi

# The program's settings: an IR55 receiver on COM1. COM1 itself points nowhere, so
# only the script can map it (a new terminal may get an earlier run's name).
export WINEPREFIX=$prefix
cat >"$work/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_CONFIG\Infrared\Software\Vantora\Port]
"Transmitter"="1;0;end"
"IrDAPortNum"="1"

[HKEY_LOCAL_MACHINE\Software\Wine\Ports]
"COM1"="/nonexistent"
REG
wine regedit /S "$(winepath -w "$work/settings.reg")" >/dev/null 2>&1
rm -f "$prefix/dosdevices/com1"

# The menu folder an earlier install left in the desktop's menu, empty since its
# uninstall, and the menu file naming it: both go.
menus=$work/xdg
rm -rf "$menus"
mkdir -p "$menus/data/applications/wine/Programs/Vantor" "$menus/config/menus/applications-merged"
touch "$menus/config/menus/applications-merged/wine-Programs-Vantor-Vantor.menu"

XDG_DATA_HOME=$menus/data XDG_CONFIG_HOME=$menus/config \
  "$src/tools/vantor-wine" --prefix "$prefix" --com1 "$device" --exe "$build/bin/Vantora.exe" \
  >"$work/run.log" 2>&1 &
run_pid=$!

mapped() { [ "$(readlink "$prefix/dosdevices/com1" || true)" = "$device" ]; }
for _ in $(seq 200); do mapped && break; sleep 0.1; done
mapped || { cat "$work/run.log" >&2; fail "COM1 is not mapped to $device"; }

# Waits until the program run by `pid` has opened the hub's terminal `n`, which
# then runs at the receiver's 1200 baud; `log` is shown when it does not.
await_open() {
  local pid=$1 n=$2 log=$3 state=
  for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || { cat "$log" >&2; fail "vantor-wine ended before the program opened terminal $n"; }
    exec 4<>"/dev/tcp/127.0.0.1/$port"
    printf 'STATE %s\n' "$n" >&4
    read -r -t 5 state <&4 || true
    exec 4>&-
    [ "$state" = "OK 1200 8 N 1" ] && return 0
    sleep 0.1
  done
  cat "$log" >&2
  fail "the program did not open terminal $n at 1200 baud (hub: $state)"
}

# The program opened COM1: the terminal now runs at the receiver's 1200 baud.
await_open "$run_pid" 1 "$work/run.log"
grep -q "COM1 is $device" "$work/run.log" || fail "vantor-wine did not say which device COM1 is"
[ ! -e "$menus/data/applications/wine" ] || fail "the empty Wine menu folders were left"
[ -z "$(ls -A "$menus/config/menus/applications-merged")" ] || fail "the Wine menu file was left"
# An install in this prefix makes no menu entries to leave behind.
wine reg query 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe >/dev/null 2>&1 ||
  fail "the prefix still makes desktop menu entries"

# A second device for the running program: refused, the program left running.
exec 5<>"/dev/tcp/127.0.0.1/$port"  # one connection per terminal
printf 'OPEN 2\n' >&5
for _ in $(seq 100); do [ -L "$work/com/COM2" ] && break; sleep 0.05; done
device2=$(readlink "$work/com/COM2") || fail "the pty hub made no second terminal"
expect 1 "Vantor is running" "$script" --prefix "$prefix" --com1 "$device2" --exe "$build/bin/Vantora.exe"
kill -0 "$run_pid" 2>/dev/null || fail "the refused run ended the running program"
mapped || fail "the refused run changed COM1"

# With --close the program leaves by its own exit, which writes its port settings
# back (taken away here to see that), then runs again on the new device.
wine reg delete 'HKCC\Infrared\Software\Vantora\Port' /f >/dev/null 2>&1
"$script" --prefix "$prefix" --com1 "$device2" --exe "$build/bin/Vantora.exe" --close >"$work/run2.log" 2>&1 &
run2_pid=$!
for _ in $(seq 300); do kill -0 "$run_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$run_pid" 2>/dev/null && { cat "$work/run2.log" >&2; fail "--close did not close the running program"; }
wait "$run_pid" || fail "the closed program did not end with 0"
await_open "$run2_pid" 2 "$work/run2.log"
# Asked once Wine's server is back: the script restarted it after the close.
saved=$(wine reg query 'HKCC\Infrared\Software\Vantora\Port' /v IrDAPortNum 2>/dev/null | tr -d '\r' | awk '/IrDAPortNum/ {print $3}')
[ "$saved" = "1" ] || fail "the closed program did not save its port settings (IrDAPortNum: '$saved')"
echo "PASS: messages; COM1 -> $device opened at 1200 baud; a second device refused while running, then closed and moved with --close"
