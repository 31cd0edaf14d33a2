#!/usr/bin/env bash
# Runs a command on a private virtual X display that lives only as long as the command.
set -uo pipefail

# Xvfb picks a free display number itself and writes it once it takes connections: a lock
# left behind by a display that was killed does not stand in its way.
ready=$(mktemp)
# Room for the main window at 200 % (ONDREVAN_SCREEN=WIDTHxHEIGHT for another size).
Xvfb -displayfd 3 -screen 0 "${ONDREVAN_SCREEN:-2560x1600}x24" -nolisten tcp 3>"$ready" \
    >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null; rm -f "$ready"' EXIT
display=
deadline=$((SECONDS + 60))
while [ -z "$display" ] && [ $SECONDS -lt $deadline ] && kill -0 $xvfb_pid 2>/dev/null; do
    sleep 0.1
    display=$(sed -n '1{/^[0-9][0-9]*$/p}' "$ready")
done
[ -n "$display" ] || { echo "the virtual display did not start within 60 s" >&2; exit 1; }
export DISPLAY=":$display"
"$@"
