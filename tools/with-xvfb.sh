#!/usr/bin/env bash
# Runs a command on a private virtual X display that lives only as long as the command.
set -uo pipefail

display=
for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }

# Room for the main window at 200 % (ONDREVAN_SCREEN=WIDTHxHEIGHT for another size).
Xvfb ":$display" -screen 0 "${ONDREVAN_SCREEN:-2560x1600}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null' EXIT
for _ in $(seq 1 100); do
    xdpyinfo -display ":$display" >/dev/null 2>&1 && break
    sleep 0.1
done
export DISPLAY=":$display"
"$@"
