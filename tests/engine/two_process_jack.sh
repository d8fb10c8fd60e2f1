#!/usr/bin/env bash
# Updates a vessa-unit-sim process from a vessa-updater-cli process over a
# JACK server of their own; both must report success, and the trace must
# record the traffic in its line format.
#   two_process_jack.sh UNIT_SIM UPDATER_CLI JACK_SERVER_SCRIPT
set -euo pipefail
unit_sim=$1
updater=$2
jack_server=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run_pair() {
  "$unit_sim" --verify --preload >"$work/sim.out" 2>&1 &
  local sim=$!
  for _ in $(seq 100); do
    grep -q serving "$work/sim.out" && break
    kill -0 "$sim" 2>/dev/null || break
    sleep 0.1
  done
  local updater_status=0
  # By name: the instance number of a copy running elsewhere must not matter.
  "$updater" --in "ORVANE Vessa Series" --out "ORVANE Vessa Series" --trace "$work/trace" ||
    updater_status=$?
  kill -TERM "$sim"
  local sim_status=0
  wait "$sim" || sim_status=$?
  cat "$work/sim.out"
  [ "$updater_status" -eq 0 ] || { echo "updater ended with $updater_status"; return 1; }
  [ "$sim_status" -eq 0 ] || { echo "unit ended with $sim_status"; return 1; }
  head -n 1 "$work/trace" | grep -qx '> F0 7E 00 06 01 F7' || { echo "bad first trace line"; return 1; }
  grep -q '^< F0 7E 00 06 02 ' "$work/trace" || { echo "identity reply not traced"; return 1; }
  if grep -qvE '^[<>]( [0-9A-F]{2})+$' "$work/trace"; then echo "bad trace line"; return 1; fi
}

export -f run_pair
export unit_sim updater work
"$jack_server" run bash -c run_pair
