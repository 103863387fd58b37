#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the library's runtime and development files into a prefix inside
# the build folder and builds the installed example against it both ways an
# integrator would: with pkg-config and with find_package. Both builds must
# then receive a survey from the simulator.
#   devtree.sh BUILD LIBDIR CC "EXTRA_CFLAGS" SIMULATOR SAMPLE RUN_EXAMPLE
set -eu
build=$(cd "$1" && pwd) libdir=$2 cc=$3 extra=$4 sim=$5 sample=$6 run=$7
work="$build/install-test"
prefix="$work/prefix"
rm -rf "$work"
fail() { echo "devtree: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" --component lib
cmake --install "$build" --prefix "$prefix" --component dev
lib="$prefix/$libdir"
[ -f "$lib/libvlnkw32.so.1.1.0" ] || fail "no libvlnkw32.so.1.1.0"
[ "$(readlink "$lib/libvlnkw32.so.1")" = libvlnkw32.so.1.1.0 ] || fail "libvlnkw32.so.1 is no link to 1.1.0"
[ "$(readlink "$lib/libvlnkw32.so")" = libvlnkw32.so.1 ] || fail "libvlnkw32.so is no link to .so.1"
readelf -d "$lib/libvlnkw32.so.1.1.0" | grep -q 'SONAME.*\[libvlnkw32\.so\.1\]' || fail "SONAME is not libvlnkw32.so.1"
examples="$prefix/share/doc/libvlnkw32-dev/examples"

# pkg-config, as a Makefile would use it, with the plain paths of the
# prefix; the program finds the library through LD_LIBRARY_PATH, by its SONAME.
export PKG_CONFIG_PATH="$lib/pkgconfig"
[ "$(pkg-config --modversion vlnkw32)" = 1.1.0 ] || fail "pkg-config version"
flags=$(pkg-config --cflags --libs vlnkw32 | sed "s/ *$//")
[ "$flags" = "-I$prefix/include -L$lib -lvlnkw32" ] || fail "pkg-config: $flags"
# shellcheck disable=SC2086
"$cc" -std=c99 -pedantic -Wall -Wextra -Werror $extra -o "$work/receive-pc" "$examples/receive.c" $flags
readelf -d "$work/receive-pc" | grep -q 'NEEDED.*\[libvlnkw32\.so\.1\]' || fail "the program does not need libvlnkw32.so.1"
LD_LIBRARY_PATH="$lib" "$run" "$work/receive-pc" "$sim" "$sample" "$work/run-pc"

# find_package, with the example's own CMake project.
unset PKG_CONFIG_PATH
cmake -S "$examples" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_COMPILER="$cc" \
  "-DCMAKE_C_FLAGS=-pedantic -Wall -Wextra -Werror $extra" > "$work/cmake.log" || { cat "$work/cmake.log"; fail "configure"; }
cmake --build "$work/cmake" || fail "build"
"$run" "$work/cmake/receive" "$sim" "$sample" "$work/run-cmake"
echo "devtree: ok"
