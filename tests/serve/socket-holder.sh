#!/usr/bin/env bash
# Holds the listening socket passed on descriptor 3, as a service manager
# does, and runs the server given as arguments on it: SIGHUP restarts it as
# `systemctl restart` would (the old one stopped, then a new one started,
# connections meanwhile waiting in the socket's queue), SIGTERM stops both.
# Each start appends a line to $HOLDER_LOG once the server says where it
# listens.
set -uo pipefail
: "${HOLDER_LOG:?}"
child=
starts=0
start() {
  starts=$((starts + 1))
  # The new shell's pid is the server's after exec: LISTEN_PID names it.
  bash -c 'export LISTEN_PID=$$ LISTEN_FDS=1; exec "$@"' server "$@" >"$HOLDER_LOG.$starts.out" &
  child=$!
  local i
  for ((i = 0; i < 100; i++)); do [ -s "$HOLDER_LOG.$starts.out" ] && break; sleep 0.05; done
  echo "start $starts $(head -1 "$HOLDER_LOG.$starts.out")" >>"$HOLDER_LOG"
}
stop() {
  kill -TERM "$child" 2>/dev/null
  wait "$child"
  echo "exit $?" >>"$HOLDER_LOG"
}
restart=0
trap 'restart=1' HUP
trap 'stop; exit 0' TERM
start "$@"
while :; do
  wait "$child"
  if ((restart)); then
    restart=0
    stop
    start "$@"
  elif ! kill -0 "$child" 2>/dev/null; then
    echo "exit gone" >>"$HOLDER_LOG"
    exit 1
  fi
done
