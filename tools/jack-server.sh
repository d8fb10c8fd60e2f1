#!/usr/bin/env bash
# Starts a private JACK server on the dummy backend (no sound card needed),
# for the JACK tests and benchmarks. Never touches a server it did not start.
#
#   tools/jack-server.sh run CMD [ARGS...]
#       starts a server, runs CMD with JACK_DEFAULT_SERVER set to it, stops
#       the server and exits with CMD's status.
#   tools/jack-server.sh start
#       starts a server and prints the two lines to eval:
#       JACK_DEFAULT_SERVER=... and JACK_SERVER_PID=...
#   tools/jack-server.sh stop PID
#       stops a server that `start` started.
set -euo pipefail

readonly rate=48000
readonly period=64
readonly answer_timeout_s=10

server_flags() {
  if [ "$(id -u)" -eq 0 ]; then
    echo "-R -P 70"
  else
    echo "--no-realtime"
  fi
}

# Starts jackd in the background; sets server_pid and server_log.
start_server() {
  export JACK_DEFAULT_SERVER="vessa-$$-${RANDOM}"
  # Clients of this run must not find or start anything else.
  export JACK_NO_START_SERVER=1
  server_log="$(mktemp -t jackd-XXXXXX.log)"
  # Synchronous mode with a long client time-out: each cycle waits for every
  # client, so a client slowed by load or a sanitizer is waited for instead of
  # being skipped, which would lose its output or hand a stale buffer on again.
  # (4 s stays under the 5 s watchdog of realtime mode.)
  # shellcheck disable=SC2046
  jackd -n "$JACK_DEFAULT_SERVER" $(server_flags) --sync -t 4000 -d dummy -r "$rate" -p "$period" \
    >"$server_log" 2>&1 &
  server_pid=$!
  if ! jack_wait -s "$JACK_DEFAULT_SERVER" -w -t "$answer_timeout_s" >/dev/null 2>&1 ||
     ! kill -0 "$server_pid" 2>/dev/null; then
    echo "jack-server.sh: jackd did not answer within ${answer_timeout_s}s" >&2
    cat "$server_log" >&2
    stop_server "$server_pid"
    rm -f "$server_log"
    exit 1
  fi
}

stop_server() {
  local pid=$1
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

case "${1:-}" in
  run)
    shift
    [ $# -gt 0 ] || { echo "usage: $0 run CMD [ARGS...]" >&2; exit 2; }
    start_server
    trap 'stop_server "$server_pid"; rm -f "$server_log"' EXIT
    status=0
    "$@" || status=$?
    if [ "$status" -ne 0 ]; then
      echo "jack-server.sh: command failed ($status); server log:" >&2
      tail -n 40 "$server_log" >&2
    fi
    exit "$status"
    ;;
  start)
    start_server
    rm -f "$server_log"
    echo "JACK_DEFAULT_SERVER=$JACK_DEFAULT_SERVER"
    echo "JACK_SERVER_PID=$server_pid"
    ;;
  stop)
    [ $# -eq 2 ] || { echo "usage: $0 stop PID" >&2; exit 2; }
    stop_server "$2"
    ;;
  *)
    echo "usage: $0 run CMD [ARGS...] | start | stop PID" >&2
    exit 2
    ;;
esac
