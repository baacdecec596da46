#!/usr/bin/env bash
# A server that turns hostile once the game has started: a frame longer than what follows
# ("00 40" and 9 bytes, "ff ff" and 100 bytes), half a length, 64 KB of noise. Each time the
# client keeps answering a key ("q" leaves the game within 2 s; the time taken is printed),
# and Esc then ends it with exit code 0. A download that stalls half-way is left with Esc,
# back to the main menu. The texts sent among the map's frames reach the game's messages.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"
source "$(dirname "$0")/net-common.bash"

hostile_pid=""
stop_hostile() {
  [ -n "$hostile_pid" ] && kill "$hostile_pid" 2>/dev/null && wait "$hostile_pid" 2>/dev/null
  hostile_pid=""
}
trap 'stop_hostile; stop_net; stop_client; remove_work_dir' EXIT

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# answer_ms: presses "q" in the game and prints the milliseconds until the client logs that
# it leaves the game (9999 when it did not within 2 s).
answer_ms() {
  xdotool mousemove --window "$wid" 310 190
  sleep 0.1
  xdotool mousemove --window "$wid" 320 200
  sleep 0.15
  local start i
  start=$(now_ms)
  xdotool key q
  for i in $(seq 1 400); do
    if grep -Fq "Exiting main engine..." log.txt 2>/dev/null; then
      echo $(( $(now_ms) - start ))
      return
    fi
    sleep 0.005
    (( $(now_ms) - start > 2000 )) && break
  done
  echo 9999
}

# start_hostile CASE: the hostile server for that case; sets server_port.
start_hostile() {
  rm -f "$work_dir/port" "$work_dir/sent.$1"
  python3 "$KORVANE_SOURCE/tests/programs/hostile-server.py" "$work_dir/port" "$1" \
    "$work_dir/sent.$1" &
  hostile_pid=$!
  wait_until 5 test -s "$work_dir/port" || { fail "the hostile server did not start"; return 1; }
  server_port=$(cat "$work_dir/port")
}

# quit_from_menu: Esc in the main menu ends the client with exit code 0.
quit_from_menu() {
  sleep 1  # the menu takes its keys once it is drawn again
  press_key "$wid" Escape
  local pid=${player_pid[$player]} code
  wait_for_exit "$pid" 10
  code=$exit_code
  unset "player_pid[$player]"
  [ "$code" = 0 ] || fail "$player ended with exit code $code"
}

case_name=stalled-download
if start_hostile stalled-download && start_player stalled; then
  on stalled open_dialog
  on stalled fill_dialog stalled box 127.0.0.1 "$server_port"
  on stalled xdotool key Return
  wait_until 10 test -s "$work_dir/sent.stalled-download" || fail "the download did not start"
  sleep 0.5
  start=$(now_ms)
  on stalled press_key "${player_wid[stalled]}" Escape
  on stalled wait_for_line log.txt "Map exchange left with Esc." 2 &&
    echo "stalled-download: Esc left the download in $(( $(now_ms) - start )) ms"
  on stalled expect_no_file_line log.txt "Entering main engine..."
  on stalled quit_from_menu
fi
stop_hostile

for stream in length-0040 length-ffff half-length noise; do
  case_name=$stream
  start_hostile "$stream" || continue
  start_and_join "$stream" || { stop_hostile; continue; }
  on "$stream" wait_until 5 test -s "$work_dir/sent.$stream" || fail "the stream was not sent"
  on "$stream" wait_for_line log.txt "Message: server: Welcome aboard"
  on "$stream" wait_for_line log.txt "Message: server: Two players online"
  sleep 0.5  # the client is now part-way into a frame that never ends
  ms=$(on "$stream" answer_ms)
  echo "$stream: the client answered a key in $ms ms"
  (( ms <= 2000 )) || fail "the client took over 2 s to answer a key"
  on "$stream" leave
  stop_hostile
done
finish
