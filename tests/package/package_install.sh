#!/usr/bin/env bash
# package_install.sh BUILD_DIR SCRATCH_DIR LIBDIR
# Makes the .deb from the build (as `make package` does), unpacks it into a
# scratch root with dpkg -x and checks the installed tree: QXTools' and
# qxcli's --help run from it without a display, the installed qxcli finds the
# installed QXLIB through its RUNPATH (no LD_LIBRARY_PATH) and reads the
# identity of the installed qxsim, and a program builds against the installed
# header and pkg-config file.
set -uo pipefail
build="$1"
scratch="$2"
libdir="$3"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM LD_LIBRARY_PATH

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

sim_pid=""
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null
        wait "$sim_pid" 2>/dev/null
    fi
}
trap cleanup EXIT

rm -rf "$scratch"
mkdir -p "$scratch"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    fail "cpack did not make the package"
    exit 1
fi
deb="$(ls "$scratch"/out/qxtools_*.deb)"
echo "package: $deb"

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6charts6 qt6-qpa-plugins fonts-noto-cjk; do
    grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed"
done
if grep -Eq -- '-dev\b' <<<"$depends"; then
    fail "Depends names a build package"
fi

root="$scratch/root"
dpkg -x "$deb" "$root" || fail "dpkg -x failed"
for file in usr/bin/qxtools usr/bin/qxcli usr/bin/qxsim "usr/$libdir/libqxlib.so.7" \
    usr/share/applications/qxtools.desktop usr/share/icons/hicolor/16x16/apps/qxtools.png \
    usr/share/icons/hicolor/256x256/apps/qxtools.png usr/share/man/man1/qxtools.1.gz \
    usr/share/man/man1/qxcli.1.gz usr/share/man/man1/qxsim.1.gz usr/share/doc/qxtools/copyright; do
    [ -e "$root/$file" ] || fail "$file is not in the package"
done

for program in qxtools qxcli; do
    "$root/usr/bin/$program" --help >"$scratch/$program.help" 2>&1 ||
        fail "the installed $program --help failed: $(cat "$scratch/$program.help")"
done

# The installed qxsim on a free loopback port, the installed qxcli against it.
"$root/usr/bin/qxsim" --tcp 127.0.0.1:0 --quiet >"$scratch/qxsim.out" 2>&1 &
sim_pid=$!
port=""
for _ in $(seq 1 100); do
    port="$(sed -n 's/^listening tcp 127\.0\.0\.1:\([0-9][0-9]*\).*/\1/p' "$scratch/qxsim.out")"
    [ -n "$port" ] && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$port" ]; then
    fail "the installed qxsim did not start: $(cat "$scratch/qxsim.out")"
else
    # LD_DEBUG names the file the loader opened for QXLIB
    LD_DEBUG=files LD_DEBUG_OUTPUT="$scratch/loader" \
        "$root/usr/bin/qxcli" --tcp "127.0.0.1:$port" identity >"$scratch/identity.out" 2>&1 ||
        fail "the installed qxcli read no identity: $(cat "$scratch/identity.out")"
    loaded="$(sed -n 's/.*calling init: \(\/[^ ]*libqxlib[^ ]*\).*/\1/p' "$scratch"/loader.* | head -n 1)"
    [ "$(realpath -m "$loaded")" = "$(realpath -m "$root/usr/$libdir/libqxlib.so.7")" ] ||
        fail "the installed qxcli loaded '$loaded', not the package's library"
fi

# A program against the installed header and pkg-config file.
flags="$(PKG_CONFIG_LIBDIR="$root/usr/$libdir/pkgconfig" PKG_CONFIG_SYSROOT_DIR="$root" \
    PKG_CONFIG_ALLOW_SYSTEM_CFLAGS=1 PKG_CONFIG_ALLOW_SYSTEM_LIBS=1 pkg-config --cflags --libs qxlib)" ||
    fail "pkg-config does not know qxlib"
printf '#include <qxlib.h>\nint main(void) { return DLL_API_OBJ_DESTROY(0) == 0 ? 0 : 1; }\n' >"$scratch/user.c"
# shellcheck disable=SC2086 # the flags are words
cc "$scratch/user.c" $flags -o "$scratch/user" >"$scratch/cc.log" 2>&1 ||
    fail "no program builds against the installed qxlib.h and qxlib.pc: $(cat "$scratch/cc.log")"

[ "$failed" -eq 0 ] && echo "the package installs into $root and runs from it"
exit "$failed"
