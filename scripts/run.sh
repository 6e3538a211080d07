#!/usr/bin/env bash
# The main job of `make run`: start the simulated module (qxsim) on loopback
# and QXTools connected to it as TCP client. With a display QXTools opens its
# window; without one it runs under Xvfb and saves a picture of the connected
# window to build/qxtools.png.
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QX_BUILD_DIR:-$root/build}"
qxsim="$build/sim/qxsim"
qxtools="$build/app/qxtools"
screenshot="$build/qxtools.png"

sim_pid=""
cleanup() {
    if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
        kill "$sim_pid" 2>/dev/null
        wait "$sim_pid" 2>/dev/null
    fi
}
trap cleanup EXIT INT TERM

if [ ! -x "$qxsim" ]; then
    echo "run: qxsim is not built ($qxsim); nothing to connect to."
    if [ -x "$qxtools" ]; then
        echo "run: qxtools --help:"
        "$qxtools" --help
    else
        echo "run: qxtools is not built either ($qxtools)."
    fi
    exit 0
fi

sim_out="$build/qxsim.out"
: >"$sim_out"
"$qxsim" --tcp 127.0.0.1:0 --quiet >"$sim_out" 2>"$build/qxsim.log" &
sim_pid=$!

# Wait for "listening tcp 127.0.0.1:PORT" (at most 10 s).
port=""
for _ in $(seq 1 100); do
    port="$(sed -n 's/^listening tcp 127\.0\.0\.1:\([0-9][0-9]*\).*/\1/p' "$sim_out" | head -n 1)"
    [ -n "$port" ] && break
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        echo "run: qxsim ended before it was ready:"
        cat "$build/qxsim.log"
        exit 1
    fi
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "run: qxsim did not report its port within 10 s."
    exit 1
fi
echo "run: qxsim (the simulated module) listens on 127.0.0.1:$port"

if [ ! -x "$qxtools" ]; then
    echo "run: qxtools is not built ($qxtools); qxsim alone runs until Ctrl-C."
    wait "$sim_pid"
    exit 0
fi

connect=(--connect "tcp-client:127.0.0.1:$port")

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "run: starting QXTools connected to it; close the window to stop both."
    "$qxtools" "${connect[@]}"
    exit $?
fi

rm -f "$screenshot"
shot=(--screenshot "$screenshot" --quit-after 20000)
if command -v xvfb-run >/dev/null 2>&1; then
    echo "run: no display: running QXTools under Xvfb (1920x1080) and saving the connected window."
    xvfb-run -a -s "-screen 0 1920x1080x24" "$qxtools" "${connect[@]}" "${shot[@]}"
    rc=$?
else
    echo "run: no display and no xvfb-run: rendering QXTools offscreen and saving the connected window."
    QT_QPA_PLATFORM=offscreen "$qxtools" "${connect[@]}" "${shot[@]}"
    rc=$?
fi

if [ "$rc" -eq 0 ] && [ -f "$screenshot" ]; then
    echo "run: screenshot of QXTools connected to qxsim saved to $screenshot"
elif [ "$rc" -eq 3 ] && [ -f "$screenshot" ]; then
    echo "run: the module's identity did not arrive within 20 s; the window as it was is in $screenshot"
    exit 1
else
    echo "run: QXTools ended with status $rc and no screenshot."
    exit 1
fi
