#!/usr/bin/env bash
# The PostgreSQL cluster the test programs share during one ctest run (the fixture tests
# pg_cluster_start and pg_cluster_stop run it), so that it is started once, not once per test.
#
#   pg-test-cluster.sh start FOLDER   initdb into FOLDER/data, start on 127.0.0.1 on a free
#                                     port; FOLDER/info then holds "port=" and "password="
#   pg-test-cluster.sh stop FOLDER    stop it and remove FOLDER
#
# The server never runs as root: started by root (as CI is), it runs as the system user nobody.
# The administrator's password is a random one for this run, passed to initdb in a file.
set -euo pipefail

command=${1:?start or stop}
folder=${2:?folder}
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"
  else
    "$@"
  fi
}

stop() {
  if [ -f "$folder/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$folder"
}

case $command in
  start)
    stop
    mkdir -m 700 "$folder"
    [ "$(id -u)" -eq 0 ] && chown nobody:nogroup "$folder"
    password=$(head -c 18 /dev/urandom | base64 | tr -d '/+=')
    (umask 077 && printf '%s\n' "$password" >"$folder/pw")
    [ "$(id -u)" -eq 0 ] && chown nobody:nogroup "$folder/pw"
    as_owner "$bin/initdb" -D "$folder/data" -U vx_admin --pwfile="$folder/pw" \
      --auth-host=scram-sha-256 --auth-local=trust -E UTF8 --locale=C -N >"$folder/setup.log" 2>&1
    rm -f "$folder/pw"
    for attempt in 1 2 3 4 5; do
      port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
      if as_owner "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 30 \
        -o "-c listen_addresses=127.0.0.1 -p $port -k $folder -c fsync=off -c max_connections=300" \
        start >>"$folder/setup.log" 2>&1; then
        (umask 077 && printf 'port=%s\npassword=%s\n' "$port" "$password" >"$folder/info")
        exit 0
      fi
    done
    cat "$folder/setup.log" >&2
    exit 1
    ;;
  stop)
    stop
    ;;
  *)
    echo "usage: $0 start|stop FOLDER" >&2
    exit 2
    ;;
esac
