#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package in a folder of its own, as `cpack -G DEB` in a
# build folder configured for /usr does, whatever prefix this build folder
# was configured for, and checks what it holds and what it depends on.
# Usage: package_test.sh CPACK BUILD_DIR
set -eu
cpack=$1 build=$2 prefix=/usr
for tool in dpkg-deb dpkg-shlibdeps readelf; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is missing (packages dpkg-dev and binutils)"
        exit 77
    fi
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -D CPACK_PACKAGING_INSTALL_PREFIX=$prefix -B "$out" \
    >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    exit 1
fi
deb=$(ls "$out"/*.deb)
failed=0
fail() {
    echo "$1"
    failed=1
}

contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for path in bin/quillon share/applications/org.quillon.Quillon.desktop \
    share/icons/hicolor/scalable/apps/org.quillon.Quillon.svg share/metainfo/org.quillon.Quillon.metainfo.xml \
    share/man/man1/quillon.1.gz lib/systemd/user/quillon-bot.service; do
    echo "$contents" | grep -qx "\.$prefix/$path" || fail "not in the package: $prefix/$path"
done

info=$(dpkg-deb -I "$deb")
for field in "Package: quillon" "Version: 3.2.0" "Architecture: $(dpkg --print-architecture)" "Section: sound"; do
    echo "$info" | grep -qx " $field" || fail "no \"$field\" in the package's control file"
done
depends=$(echo "$info" | sed -n 's/^ Depends: //p' | tr ',' '\n' | sed 's/^ *//; s/ .*//')
depends_on() {
    echo "$depends" | grep -qx "$1" || fail "the package does not depend on $1"
}
# What is opened at run time only the package can name; every library the
# program links brings its package.
for package in libmpv2 libqt6svg6 libqt6widgets6; do depends_on $package; done
dpkg-deb -x "$deb" "$out/root"
program="$out/root$prefix/bin/quillon"
needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
for pair in libQt6Core.so.6:libqt6core6 libQt6Gui.so.6:libqt6gui6 libQt6Widgets.so.6:libqt6widgets6 \
    libQt6Network.so.6:libqt6network6 libQt6DBus.so.6:libqt6dbus6 libQt6Svg.so.6:libqt6svg6 \
    libtag.so.1:libtag1v5 libc.so.6:libc6 libstdc++.so.6:libstdc++6; do
    if echo "$needed" | grep -qx "${pair%%:*}"; then
        depends_on "${pair#*:}"
    fi
done

# The bot's units start the program where the package puts it.
for unit in quillon-bot.service quillon-bot@.service; do
    grep -q "^ExecStart=$prefix/bin/quillon " "$out/root$prefix/lib/systemd/user/$unit" \
        || fail "$unit does not start $prefix/bin/quillon"
done

# Hardened as Debian's own programs: bound at start with a read-only
# relocation table, position-independent, fortified calls, stack guards,
# and stripped of what only a debugger or a compiler wants.
dynamic=$(readelf -d "$program")
echo "$dynamic" | grep -q "BIND_NOW" || fail "the program is not bound at start (-z now)"
echo "$dynamic" | grep -q "Flags: .*PIE" || fail "the program is not position-independent"
readelf -lW "$program" | grep -q GNU_RELRO || fail "the program has no read-only relocations (-z relro)"
symbols=$(readelf --dyn-syms -W "$program")
echo "$symbols" | grep -q "__[a-z]*_chk@" || fail "no fortified C library call in the program (_FORTIFY_SOURCE)"
echo "$symbols" | grep -q "__stack_chk_fail@" || fail "the program has no stack guard"
sections=$(readelf -SW "$program")
for section in .symtab .debug_info .comment; do
    echo "$sections" | grep -qF " $section " && fail "the program keeps its $section section"
done

# The licence in the form Debian reads: a header naming the format, every
# licence a Files paragraph names spelled out in a paragraph of its own.
copyright="$out/root$prefix/share/doc/quillon/copyright"
if [ -f "$copyright" ]; then
    head -1 "$copyright" | grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" \
        || fail "the copyright file does not name the machine-readable format"
    grep -q "^Files: \*$" "$copyright" || fail "the copyright file covers no files"
    for licence in $(sed -n '/^Files:/,/^$/ s/^License: //p' "$copyright"); do
        awk -v name="$licence" '$0 == "License: " name { own = 1; next } own && /^ / { text++ } own && !/^ / { own = 0 }
            END { exit !(text > 2) }' "$copyright" || fail "the copyright file does not spell out $licence"
    done
else
    fail "not in the package: $prefix/share/doc/quillon/copyright"
fi
gzip -dc "$out/root$prefix/share/doc/quillon/changelog.gz" 2>/dev/null | head -1 | grep -q "^quillon (3.2.0) " \
    || fail "no changelog of this version in $prefix/share/doc/quillon/changelog.gz"

# What Debian's own checker finds: no error and no warning; the notes kept
# are named in the package's overrides.
if command -v lintian >/dev/null; then
    lintian -I -E --pedantic "$deb" >"$out/lintian.log" 2>&1 || true
    grep -E "^[EW]: " "$out/lintian.log" && fail "lintian finds errors or warnings in the package"
    grep -E "^[IPX]: " "$out/lintian.log" || true
else
    echo "lintian is missing (package lintian): the package was not checked by it"
fi
exit $failed
