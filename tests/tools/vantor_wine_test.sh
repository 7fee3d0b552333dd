#!/usr/bin/env bash
# tools/vantor-wine with a pseudo-terminal standing for a USB serial adapter: it
# maps COM1 to that device in its own prefix and starts the program, which opens
# the port at the IR55 receiver's speed.
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
  exec 3>&- 2>/dev/null || true
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

"$src/tools/vantor-wine" --prefix "$prefix" --com1 "$device" --exe "$build/bin/Vantora.exe" \
  >"$work/run.log" 2>&1 &
run_pid=$!

mapped() { [ "$(readlink "$prefix/dosdevices/com1" || true)" = "$device" ]; }
for _ in $(seq 200); do mapped && break; sleep 0.1; done
mapped || { cat "$work/run.log" >&2; fail "COM1 is not mapped to $device"; }

# The program opened COM1: the terminal now runs at the receiver's 1200 baud.
state=
for _ in $(seq 300); do
  kill -0 "$run_pid" 2>/dev/null || { cat "$work/run.log" >&2; fail "vantor-wine ended before the program opened COM1"; }
  exec 4<>"/dev/tcp/127.0.0.1/$port"
  printf 'STATE 1\n' >&4
  read -r -t 5 state <&4 || true
  exec 4>&-
  [ "$state" = "OK 1200 8 N 1" ] && break
  sleep 0.1
done
[ "$state" = "OK 1200 8 N 1" ] || { cat "$work/run.log" >&2; fail "the program did not open COM1 at 1200 baud (hub: $state)"; }
grep -q "COM1 is $device" "$work/run.log" || fail "vantor-wine did not say which device COM1 is"
echo "PASS: COM1 -> $device, the program opened it at 1200 baud"
