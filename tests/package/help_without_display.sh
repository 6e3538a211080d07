#!/usr/bin/env bash
# help_without_display.sh VERSION PROGRAM...
# Each program prints its help and its version ("NAME (QXTools) VERSION") on
# standard output and ends with status 0 where no display can be reached, as
# help2man and scripts run them.
set -uo pipefail
version="$1"
shift
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
for program in "$@"; do
    name="$(basename "$program")"
    if ! help="$("$program" --help 2>&1)"; then
        fail "$name --help ended with an error: $help"
    elif ! grep -qi '^usage:' <<<"$help"; then
        fail "$name --help printed no usage: $help"
    fi
    if ! out="$("$program" --version 2>&1)"; then
        fail "$name --version ended with an error: $out"
    elif [ "$out" != "$name (QXTools) $version" ]; then
        fail "$name --version printed '$out'"
    fi
done
exit "$failed"
