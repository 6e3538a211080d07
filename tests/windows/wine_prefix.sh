#!/usr/bin/env bash
# The Windows suites' Wine prefix, inside the build folder.
#   wine_prefix.sh create DIR   a fresh prefix, its server kept running
#   wine_prefix.sh end DIR      stops that prefix's server and its programs
# No display is needed: Mono and Gecko are not offered (their DLLs are
# switched off) and no debug channel prints.
set -euo pipefail
action=$1
# Wine takes only an absolute prefix
WINEPREFIX=$(realpath -m "$2")
export WINEPREFIX
log=$WINEPREFIX.log
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

case $action in
create)
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
    mkdir -p "$WINEPREFIX"
    # (its output goes to a file: a pipe would be held open by the server)
    if ! wineboot --init </dev/null >"$log" 2>&1; then
        cat "$log"
        exit 1
    fi
    wineserver --wait
    # One server for all the suites of the run, so each program starts fast,
    # and Wine's own services started now: whatever Wine keeps running must
    # not hold a suite's output open.
    wineserver --persistent </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1
    echo "wine prefix ready: $WINEPREFIX ($(wine --version))"
    ;;
end)
    wineserver -k 2>/dev/null || true
    ;;
*)
    echo "usage: wine_prefix.sh create|end DIR" >&2
    exit 2
    ;;
esac
