# Starting and stopping zimbelplot-serve and nginx for the tests and the
# benchmark: every process started is stopped on exit, every wait bounded.
serveTree=${ZIMBEL_SERVE_TREE:-build/release}
server=$serveTree/serve/zimbelplot-serve
exporter=$serveTree/export/zimbelplot-export
pageRoot=${ZIMBEL_PAGE_ROOT:-build/web}
work=$(mktemp -d /tmp/zimbel-serve-XXXXXX)
# nginx's workers, run as another user where root starts them, read here.
chmod 755 "$work"
started=()
# SIGTERM first, so that nginx takes its workers with it; SIGKILL for what
# is still there after a second.
stopAll() {
  local pid
  for pid in "${started[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  for pid in "${started[@]}"; do
    waitFor "! kill -0 $pid 2>/dev/null" 10 || kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap stopAll EXIT
fail() { echo "serve-tests: $*" >&2; exit 1; }
# A write to a peer that hung up is an error to look at, not the end.
trap "" PIPE

# Waits up to $2 tenths of a second for the command $1 to succeed.
waitFor() {
  local i
  for ((i = 0; i < $2; i++)); do eval "$1" && return 0; sleep 0.1; done
  return 1
}

# startServer NAME ARGS...: the server on a free port; sets url_NAME, pid_NAME.
startServer() {
  local name=$1
  shift
  "$server" --listen 127.0.0.1:0 --root "$pageRoot" "$@" >"$work/$name.out" 2>"$work/$name.log" &
  local pid=$!
  started+=("$pid")
  waitFor "[ -s '$work/$name.out' ]" 100 || fail "$name did not start: $(cat "$work/$name.log")"
  printf -v "url_$name" '%s' "$(head -1 "$work/$name.out")"
  printf -v "pid_$name" '%s' "$pid"
}

# startNginx PORT HOST:PORT HOST:PORT: the packaged nginx example in front
# of two servers, on 127.0.0.1:PORT, its cache in the test's folder.
startNginx() {
  mkdir -p "$work/nginx/logs"
  sed -e "s|listen 80;|listen 127.0.0.1:$1;|" -e "s|127.0.0.1:8016|$2|" -e "s|127.0.0.1:8017|$3|" \
    -e "s|/var/cache/nginx/zimbelplot|$work/nginx/cache|" serve/nginx.conf >"$work/nginx/zimbelplot.conf"
  sed "s|@WORK@|$work/nginx|g" tests/serve/nginx-test.conf >"$work/nginx/nginx.conf"
  nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" -e "$work/nginx/logs/error.log" &
  started+=("$!")
  waitFor "curl -sf -o /dev/null http://127.0.0.1:$1/healthz" 100 || fail "nginx did not start: $(cat "$work/nginx/logs/error.log")"
}

# A port nothing listens on now, below the kernel's range for outgoing
# connections: a port there may be held by a client's connection (after a
# load, thousands linger in TIME_WAIT), which no connect shows but which
# makes a later bind fail.
freePort() {
  local low high port
  read -r low high </proc/sys/net/ipv4/ip_local_port_range
  ((low > 11024)) || fail "no port range below the outgoing connections' ($low-$high)"
  for ((port = 10000 + RANDOM % (low - 11024); port < low; port++)); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
  done
  fail "no free port below $low"
}
