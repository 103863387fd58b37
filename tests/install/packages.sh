#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian packages in the build folder, unpacks them into a scratch
# root as an installation would lay them out, and runs what they carry from
# there: tresmon-tool, cmdvlnk, and the installed example built against the
# development package, receiving from the packaged simulator.
#   packages.sh BUILD VERSION CC "EXTRA_CFLAGS" SAMPLE RUN_EXAMPLE
set -eu
build=$(cd "$1" && pwd) version=$2 cc=$3 extra=$4 sample=$5 run=$6
work="$build/package-test"
root="$work/root"
rm -rf "$work"
mkdir -p "$work"
fail() { echo "packages: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/debs" > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
for name in tresmon libvlnkw32-1 libvlnkw32-dev vlnkw32-tools tresmon-handheld-sim; do
  deb=$(ls "$work/debs/${name}_${version}"*.deb 2>/dev/null | head -1)
  [ -n "$deb" ] || fail "no package $name"
  dpkg-deb -f "$deb" Package Version Section Depends | sed "s/^/$name: /"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$name has not version $version"
  dpkg -x "$deb" "$root"
  [ -f "$root/usr/share/doc/$name/copyright" ] || fail "$name has no copyright file"
done
depends() { dpkg-deb -f "$work/debs/$1_${version}"*.deb Depends; }
depends tresmon | grep -q "libvlnkw32-1 (= $version)" || fail "tresmon does not depend on libvlnkw32-1"
for need in fonts-liberation qt6-translations-l10n qt6-qpa-plugins libqt6widgets6 libc6; do
  depends tresmon | grep -q "$need" || fail "tresmon does not depend on $need"
done
depends libvlnkw32-1 | grep -q libstdc++6 || fail "libvlnkw32-1: no dependency from dpkg-shlibdeps"
depends vlnkw32-tools | grep -q "libvlnkw32-1 (= $version)" || fail "vlnkw32-tools does not depend on libvlnkw32-1"
depends libvlnkw32-dev | grep -q "libvlnkw32-1 (= $version)" || fail "libvlnkw32-dev does not depend on libvlnkw32-1"
dpkg-deb -I "$work/debs/tresmon_${version}"*.deb postinst | grep -q update-mime-database || fail "tresmon: no postinst"
dpkg-deb -I "$work/debs/libvlnkw32-1_${version}"*.deb shlibs | grep -q "^libvlnkw32 1 libvlnkw32-1" || fail "no shlibs"

usr="$root/usr"
for f in bin/tresmon bin/tresmon-tool libexec/tresmon/tresmon-tool-qt bin/cmdvlnk bin/vlnk-handheld-sim \
         lib/libvlnkw32.so.1 lib/libvlnkw32.so include/vlnkw32.h lib/pkgconfig/vlnkw32.pc \
         lib/cmake/vlnkw32/vlnkw32Config.cmake share/applications/tresmon.desktop \
         share/mime/packages/tresmon-tsd.xml share/icons/hicolor/scalable/apps/tresmon.svg \
         share/man/man1/cmdvlnk.1 share/man/man1/vlnk-handheld-sim.1 \
         share/doc/libvlnkw32-dev/examples/receive.c; do
  [ -e "$usr/$f" ] || fail "$f not in the packages"
done
if readelf -S "$usr/lib/libvlnkw32.so.1" | grep -q '\.debug_info'; then fail "the packaged library keeps its debug symbols"; fi

# The programs find the library through their run path, inside the root.
out=$("$usr/bin/tresmon-tool" --version) || fail "tresmon-tool --version"
echo "$out" | grep -q "$version" || fail "tresmon-tool --version: $out"
out=$(env -u LD_LIBRARY_PATH "$usr/bin/cmdvlnk" --version) || fail "cmdvlnk --version"
echo "$out" | grep -q "^cmdvlnk (Tresmon) $version" || fail "cmdvlnk --version: $out"
echo "$out" | head -1

PKG_CONFIG_PATH="$usr/lib/pkgconfig"
export PKG_CONFIG_PATH
# shellcheck disable=SC2046
"$cc" -std=c99 -Wall -Wextra -Werror $extra -o "$work/receive" "$usr/share/doc/libvlnkw32-dev/examples/receive.c" \
  $(pkg-config --cflags --libs vlnkw32)
LD_LIBRARY_PATH="$usr/lib" "$run" "$work/receive" "$usr/bin/vlnk-handheld-sim" "$sample" "$work/run"
echo "packages: ok"
