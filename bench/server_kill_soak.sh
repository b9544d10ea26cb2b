#!/usr/bin/env bash
# A kill soak of the built VX against a database server: a local PostgreSQL cluster (started
# and stopped here, as the tests start theirs) holds the data folder's tables, with TASKS
# one-time "Run Program" tasks all due now. VX runs them one a tick; each task's program is
# started only once its run is stored, and writes the task's id to runs.log, so that a line
# there is a write VX has reported. VX is ended with SIGKILL at a random moment, again and again,
# and started anew, until every task has run. Then every id in runs.log must be a task the
# server holds as done (no reported write lost), and no id may be there twice (no run stored
# twice, or one not stored and started again).
#
#   bench/server_kill_soak.sh BUILD_FOLDER [TASKS] [DISPLAY]
#
# BUILD_FOLDER holds bin/VX; TASKS defaults to 60; DISPLAY (a free X display number for Xvfb)
# to 104. Prints the kills, the runs and the verdict; exits 1 when a write was lost.
set -euo pipefail

build=$(cd "${1:?build folder}" && pwd)
tasks=${2:-60}
display=${3:-104}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/vx-kill-soak.XXXXXX)
chmod 755 "$work"
cluster=$work/cluster
data=$work/data
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
vx_pid=
xvfb_pid=

cleanup() {
  [ -n "$vx_pid" ] && kill -KILL "$vx_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  bash "$root/scripts/pg-test-cluster.sh" stop "$cluster" || true
  # VX's own output of every start, kept for a look after the run.
  [ -f "$work/vx.log" ] && cp "$work/vx.log" /tmp/vx-kill-soak.log
  rm -rf "$work"
}
trap cleanup EXIT

bash "$root/scripts/pg-test-cluster.sh" start "$cluster"
port=$(sed -n 's/^port=//p' "$cluster/info")
password=$(sed -n 's/^password=//p' "$cluster/info")
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; else "$@"; fi
}
# Over the cluster's own socket (trusted), so that no password is on a command line.
sql() { as_owner "$bin/psql" -h "$cluster" -p "$port" -U vx_admin -d "${2:-vx_soak}" -XqAt -c "$1"; }
sql "CREATE DATABASE vx_soak" postgres

mkdir -m 700 "$data"
(umask 077 && printf '[Server]\nHost=127.0.0.1\nPort=%s\nDatabase=vx_soak\nUser=vx_admin\nPassword=%s\n' \
  "$port" "$password" >"$data/VXSERVER.INI")
cat >"$work/record.sh" <<'EOF'
#!/bin/sh
echo "$1" >>"$(dirname "$0")/runs.log"
EOF
chmod 755 "$work/record.sh"
: >"$work/runs.log"

Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -S "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS="disabled:" NO_AT_BRIDGE=1
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=0" HOME="$work"

start_vx() {
  "$build/bin/VX" "Data=$data" >>"$work/vx.log" 2>&1 &
  vx_pid=$!
}
stop_vx() {
  kill -"$1" "$vx_pid" 2>/dev/null || true
  wait "$vx_pid" 2>/dev/null || true
  vx_pid=
}

# The first start makes the tables on the server.
start_vx
for _ in $(seq 1 300); do
  [ "$(sql "SELECT count(*) FROM vx_tables WHERE name = 'VX97!S'" 2>/dev/null || echo 0)" = 1 ] && break
  sleep 0.1
done
sleep 2
stop_vx TERM

# The tasks, each column at its empty value but those a due one-time program task needs.
sql "DO \$\$ DECLARE cols text; vals text; BEGIN
  SELECT string_agg(quote_ident(column_name), ', ' ORDER BY ordinal_position),
         string_agg(CASE WHEN column_name = 'ID' THEN '\$1' WHEN data_type = 'text' THEN ''''''
                         ELSE '0' END, ', '
                    ORDER BY ordinal_position)
    INTO cols, vals FROM information_schema.columns
   WHERE table_name = 'VX97!S' AND column_name <> 'vx_pos';
  FOR i IN 1..$tasks LOOP
    EXECUTE format('INSERT INTO \"VX97!S\" (%s) VALUES (%s)', cols, vals) USING i;
  END LOOP;
END \$\$"
now_day=$(( $(date +%s) / 86400 + 61730 ))  # day numbers count from 28 December 1800
sql "UPDATE \"VX97!S\" SET \"Description\" = 'Soak ' || \"ID\", \"TaskType\" = 'Run Program',
       \"ScheduleType\" = 'Once', \"Date\" = $now_day, \"Time\" = 1,
       \"Command\" = '$work/record.sh ' || \"ID\""

left() { sql "SELECT count(*) FROM \"VX97!S\" WHERE \"Completed\" = 0 AND \"Description\" LIKE 'Soak %'"; }
kills=0
for _ in $(seq 1 $((tasks * 4))); do
  [ "$(left)" = 0 ] && break
  start_vx
  sleep "$(awk -v r="$RANDOM" 'BEGIN { printf "%.2f", 0.5 + (r % 400) / 100 }')"
  stop_vx KILL
  kills=$((kills + 1))
done
# What the kills left runs in one last start, ended as the session ends it.
start_vx
for _ in $(seq 1 $((tasks * 4))); do
  [ "$(left)" = 0 ] && break
  sleep 0.5
done
stop_vx TERM

done_ids=$(sql "SELECT \"ID\" FROM \"VX97!S\" WHERE \"Completed\" = 1 AND \"Description\" LIKE 'Soak %' ORDER BY 1")
reported=$(sort -n "$work/runs.log")
twice=$(sort -n "$work/runs.log" | uniq -d)
lost=$(comm -23 <(echo "$reported" | sort -u) <(echo "$done_ids" | sort))
echo "tasks $tasks, kills $kills, runs reported $(echo "$reported" | grep -c . || true)," \
  "tasks done on the server $(echo "$done_ids" | grep -c . || true)"
if [ -n "$lost" ] || [ -n "$twice" ]; then
  [ -n "$lost" ] && echo "reported but not stored: $lost"
  [ -n "$twice" ] && echo "run twice: $twice"
  exit 1
fi
echo "no reported write lost, none run twice"
