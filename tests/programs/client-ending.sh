#!/usr/bin/env bash
# The client asked to end from outside: SIGTERM, SIGINT and SIGHUP, in a game and in the
# main menu, and the loss of its X display. Each time it ends within 5 s, closes its
# connection to the server, and finishes its log with "The End."; a signal ends it with exit
# code 0, the lost display with 1.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"
source "$(dirname "$0")/net-common.bash"

# end_player NAME HOW EXIT: ends the player by a signal (TERM, INT, HUP) or by killing its
# display (display); it must be gone within 5 s with that exit code.
end_player() {
  local n=$1 how=$2 expected=$3 pid=${player_pid[$1]} holder=${display_holders[-1]} code
  if [ "$how" = display ]; then kill "$holder"; else kill -"$how" "$pid"; fi
  wait_for_exit "$pid" 5
  code=$exit_code
  [ "$code" = timeout ] && fail "still running 5 s after $how"
  [ "$code" = timeout ] || unset "player_pid[$n]"
  [ "$code" = "$expected" ] || fail "exit code $code after $how, expected $expected"
  [ "$(tail -n 1 "${player_dir[$n]}/log.txt")" = "The End." ] || fail "the log does not end with 'The End.'"
}

# connection_ends: the server saw the player's connection end (the thread's return line).
connections_ended() { [ "$(grep -c '^Return: ' "$work_dir/server.out")" -ge "$1" ]; }

start_server || finish
ended=0
for how in TERM INT HUP display; do
  case_name="$how in a network game"
  start_and_join "net-$how" || continue
  expected=0
  [ "$how" = display ] && expected=1
  end_player "net-$how" "$how" $expected
  ended=$((ended + 1))
  wait_until 5 connections_ended $ended || fail "the server did not see the connection end"
  # The line may follow the game's "!" (written without a line break) on the same line.
  [ "$how" = display ] || grep -Fq "Stopped by SIG$how." "${player_dir[net-$how]}/log.txt" ||
    fail "the log does not tell the signal"
done
case_name="the signals' goodbyes"
[ "$(grep -c '^Player: CLS' "$work_dir/server.out")" -ge 3 ] ||
  fail "the server did not get a close message from each player ended by a signal"

for how in TERM display; do
  case_name="$how in the main menu"
  start_player "menu-$how" || continue
  sleep 0.5
  expected=0
  [ "$how" = display ] && expected=1
  end_player "menu-$how" "$how" $expected
done
finish
