#!/usr/bin/env bash
# Runs COMMAND with a throw-away PostgreSQL server for the records tests and benchmarks:
#   tools/with-postgres.sh ctest --test-dir build -L records
# Finds Debian's server (package postgresql, tools/install-deps.sh installs it; nothing is installed here),
# creates a cluster in a temporary folder, starts it on 127.0.0.1 on a free port, and exports
#   SERVICE_TEST_POSTGRES=postgresql://tester@127.0.0.1:PORT/postgres
#   SERVICE_TEST_POSTGRES_CTL="<pg_ctl command> <data folder>"   (tests stop and start it to stage an outage)
# The server refuses to run as root, so under root it runs as the postgres user the package creates. The
# cluster is stopped and removed at the end, also when COMMAND fails; COMMAND's exit status is returned.
# Without a server the command runs without the variables, and the records tests that need one skip.
set -euo pipefail
if [ $# -eq 0 ]; then
  echo "usage: tools/with-postgres.sh COMMAND [ARGUMENTS...]" >&2
  exit 1
fi

bin=""
for candidate in /usr/lib/postgresql/*/bin; do
  [ -x "$candidate/initdb" ] && [ -x "$candidate/pg_ctl" ] && bin="$candidate"
done
if [ -z "$bin" ]; then
  echo "with-postgres: no PostgreSQL server found (Debian: postgresql); running without one" >&2
  exec "$@"
fi

as_server=()
owner=""
if [ "$(id -u)" -eq 0 ]; then
  if ! id postgres >/dev/null 2>&1; then
    echo "with-postgres: running as root, but there is no postgres user to run the server as" >&2
    exit 1
  fi
  as_server=(runuser -u postgres --)
  owner=postgres
fi

folder="$(mktemp -d "${TMPDIR:-/tmp}/with-postgres.XXXXXX")"
[ -n "$owner" ] && chown "$owner:" "$folder"
chmod 0700 "$folder"
data="$folder/data"

stop_cluster() {
  "${as_server[@]}" "$bin/pg_ctl" -D "$data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$folder"
}
trap stop_cluster EXIT

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()'
}

"${as_server[@]}" "$bin/initdb" -D "$data" -A trust -U tester >"$folder/initdb.log" 2>&1 || {
  cat "$folder/initdb.log" >&2
  exit 1
}
# The port is chosen, then taken by the server: another program may take it in between, so try a few.
started=""
for _ in 1 2 3 4 5; do
  port="$(free_port)"
  # The options are written into the cluster, so that a test restarting it gets the same address.
  cat >>"$data/postgresql.conf" <<CONF
listen_addresses = '127.0.0.1'
port = $port
unix_socket_directories = '$folder'
fsync = off
CONF
  if "${as_server[@]}" "$bin/pg_ctl" -D "$data" -l "$folder/server.log" -w -t 30 start >/dev/null; then
    started=yes
    break
  fi
done
if [ -z "$started" ]; then
  echo "with-postgres: the server did not start:" >&2
  tail -20 "$folder/server.log" >&2 || true
  exit 1
fi

export SERVICE_TEST_POSTGRES="postgresql://tester@127.0.0.1:$port/postgres"
ctl="$bin/pg_ctl -D $data -l $folder/server.log"
[ -n "$owner" ] && ctl="runuser -u postgres -- $ctl"
export SERVICE_TEST_POSTGRES_CTL="$ctl"
echo "with-postgres: $SERVICE_TEST_POSTGRES (server log $folder/server.log)" >&2
status=0
"$@" || status=$?
exit "$status"
