#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Tresmon needs to build, test and run.
# Idempotent and quiet when everything is already there.
set -eu

packages=(
  build-essential cmake pkg-config
  dpkg-dev file  # cpack -G DEB: dpkg-shlibdeps, and file to find the binaries
  lintian appstream  # the package test checks the packages and their metainfo
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  libproj-dev proj-data  # pipeline data: geodesics, CRS transforms, the German grid
  proj-bin               # geod and cs2cs, to recompute the positions the tests expect
  gdal-bin               # ogrinfo, to read every export back as a GIS program does
  libsqlite3-dev         # the GeoPackage export and the file archive
  libpq-dev              # the archive on a PostgreSQL server
  libssl-dev             # SHA-256 of the files the archive keeps
  postgresql-15 postgresql-15-postgis-3  # the throwaway server the archive tests start
  gpsbabel               # reads the GPX export back as GPS software does (tests)
  qt6-base-dev libgl-dev
  qt6-svg-dev  # an issuer's logo in SVG on the assessment report
  qt6-qpa-plugins qt6-translations-l10n fonts-liberation locales
  xvfb xauth
  poppler-utils
  mandoc  # tresmon(1) as the HTML page of the program's "Handbuch"
  shared-mime-info  # update-mime-database: the desktop test registers the survey type
  python3
  clang-format
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi

# The number texts must not follow a German desktop locale; a test checks
# that under de_DE.UTF-8, which therefore has to exist.
need_locale() { ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; }

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  if [ -n "$sudo" ] && ! command -v sudo >/dev/null; then
    echo "install-deps: run as root or install sudo" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if need_locale; then
  echo "install-deps: generating the locale de_DE.UTF-8"
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
