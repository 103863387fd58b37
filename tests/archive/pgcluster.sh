#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A throwaway PostgreSQL server for the tests and benchmarks, on a Unix
# socket in DIR only (no TCP port, so runs of several build trees never
# meet):
#   pgcluster.sh start DIR   a fresh cluster in DIR/data with the databases
#                            tres_test (PostGIS) and tres_test_nogis, the
#                            roles tres_writer (owns both) and tres_reader
#                            (may only read)
#   pgcluster.sh stop DIR    stops it by its pid
# The server refuses to run as root; then it runs as the postgres user.
# Exit status 77: no server binaries here (1 under CI=true, where
# scripts/install-deps.sh installed them).
set -eu

cmd=${1:?start or stop}
dir=${2:?folder}
bin=${TRES_PG_BIN:-/usr/lib/postgresql/15/bin}

as_server() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

stop() {
  [ -f "$dir/data/postmaster.pid" ] || return 0
  real=$(readlink -f "$dir")
  pid=$(head -n 1 "$real/data/postmaster.pid")
  as_server "$bin/pg_ctl" -D "$real/data" -m fast -w -t 30 stop >/dev/null 2>&1 || true
  if kill -0 "$pid" 2>/dev/null; then
    kill -9 "$pid" 2>/dev/null || true
  fi
}

case $cmd in
stop)
  stop
  exit 0
  ;;
start) ;;
*)
  echo "pgcluster.sh: start or stop, not $cmd" >&2
  exit 1
  ;;
esac

if [ ! -x "$bin/initdb" ] || [ ! -x "$bin/pg_ctl" ]; then
  echo "pgcluster.sh: no PostgreSQL server in $bin (postgresql-15)" >&2
  if [ "${CI:-}" = true ]; then exit 1; fi
  exit 77
fi
# The socket's path must fit sockaddr_un (107 bytes).
if [ ${#dir} -gt 80 ]; then
  echo "pgcluster.sh: folder path too long for a socket: $dir" >&2
  exit 1
fi

stop
if [ -L "$dir" ]; then rm -rf "$(readlink -f "$dir")"; fi
rm -rf "$dir"
mkdir -p "$(dirname "$dir")"
if [ "$(id -u)" -eq 0 ] && ! runuser -u postgres -- test -x "$(dirname "$dir")"; then
  # A build tree the postgres user cannot reach (under /root): the server
  # lives in /tmp, DIR points there, so the connection strings stay.
  ln -s "$(mktemp -d /tmp/tres-pg.XXXXXX)" "$dir"
else
  mkdir "$dir"
fi
if [ "$(id -u)" -eq 0 ]; then chown postgres: "$(readlink -f "$dir")"; fi
real=$(readlink -f "$dir")
as_server "$bin/initdb" -D "$real/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 || {
  cat "$dir/initdb.log" >&2
  exit 1
}
as_server "$bin/pg_ctl" -D "$real/data" -l "$real/server.log" -w -t 60 \
  -o "-k $real -c listen_addresses='' -c max_connections=40" start >/dev/null || {
  cat "$dir/server.log" >&2
  exit 1
}

sql() { "$bin/psql" -X -q -v ON_ERROR_STOP=1 -h "$dir" -U postgres "$@"; }
sql -d postgres <<'SQL'
CREATE ROLE tres_writer LOGIN;
CREATE ROLE tres_reader LOGIN;
CREATE DATABASE tres_test OWNER tres_writer;
CREATE DATABASE tres_test_nogis OWNER tres_writer;
SQL
# Databases allow CONNECT to every role already; the reader gets SELECT
# on every table the writer makes.
for db in tres_test tres_test_nogis; do
  sql -d $db <<'SQL'
GRANT USAGE ON SCHEMA public TO tres_reader;
ALTER DEFAULT PRIVILEGES FOR ROLE tres_writer IN SCHEMA public GRANT SELECT ON TABLES TO tres_reader;
SQL
done
sql -d tres_test -c 'CREATE EXTENSION postgis'
echo "pgcluster.sh: server in $dir (host=$dir dbname=tres_test user=tres_writer)"
