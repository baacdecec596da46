#!/usr/bin/env bash
# The player's details remembered between runs: set in Options > "Player", they fill the
# network dialog of the next run (the server sees them register); a connection made with
# new values saves those, a failed one saves nothing.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"
source "$(dirname "$0")/net-common.bash"

case_name=player-remembered
start_server || finish
start_player A || finish

# options_item INDEX: an entry of the three-entry Options menu at 640 wide.
options_item() { click "$wid" 320 $(($1 * 106 + 156)); }
status_hash() { import -window "$wid" -crop 640x14+0+466 +repage ppm:- 2>/dev/null | md5sum; }

# restart NAME: the player's client again, in its folder and on its display.
restart() {
  pushd "${player_dir[$1]}" >/dev/null || return 1
  DISPLAY=${player_display[$1]} env PATH=/nonexistent ./korvane 16 640 480 >>out.txt 2>>err.txt &
  player_pid[$1]=$!
  popd >/dev/null || return 1
  player_wid[$1]=$(DISPLAY=${player_display[$1]} timeout 10 xdotool search --sync --name '^Tarvix DNM$' 2>/dev/null | head -n 1)
  [ -n "${player_wid[$1]}" ] || fail "$1: the main menu did not come back"
}

# quit_to_desktop: Esc until the client ends (from a screen, through its menus).
quit_to_desktop() {
  local deadline=$((SECONDS + 15))
  while kill -0 "${player_pid[$player]}" 2>/dev/null && [ "$SECONDS" -le "$deadline" ]; do
    key "$wid" Escape
    sleep 0.3
  done
  wait "${player_pid[$player]}"
  [ $? = 0 ] || fail "$player: the client did not end with exit code 0"
}

# Options > "Player": a port of 70000 is refused and nothing is written; good values are.
open_player_screen() {
  menu_item "$wid" 2
  sleep 0.5
  options_item 1
  wait_until 10 dialog_open || fail "the Player screen did not open"
}
# refill NAME HOST SERVER PORT: a click beside the boxes ends the editing that Return left
# on, so that the first Tab goes to the name box again.
refill() {
  click "$wid" 320 330
  fill_dialog "$@"
}
snapshot() { import -window "$wid" "$work_dir/$1"; }

on A open_player_screen
before=$(on A status_hash)
on A fill_dialog ann box 127.0.0.1 70000
on A xdotool key Return
on A wait_until 5 eval '[ "$(status_hash)" != "$before" ]' || fail "a bad port showed nothing"
[ ! -e "${player_dir[A]}/player.cfg" ] || fail "a bad port was saved"
on A refill ann box 127.0.0.1 "$server_port"
on A xdotool key Return
on A wait_until 5 grep -qx "port=$server_port" player.cfg || fail "Save wrote no player.cfg"
on A snapshot player-screen.png
on A quit_to_desktop

# The next run's network dialog holds them: Return alone registers ann@box.
restart A
on A open_dialog
on A xdotool key Return
wait_for_line "$work_dir/server.out" "Player Name: ann"
wait_for_line "$work_dir/server.out" "Host Name: box"
on A wait_for_line log.txt "Entering main engine..." 15
kill "${player_pid[A]}" && wait "${player_pid[A]}" 2>/dev/null

# A failed connection saves nothing; a successful one with new values saves them.
case_name=connection-saves
restart A
on A open_dialog
on A fill_dialog bob box2 127.0.0.1 70000
on A xdotool key Return
on A wait_for_line log.txt "Connect to 127.0.0.1:70000 failed. Try again."
grep -qx "name=ann" "${player_dir[A]}/player.cfg" || fail "a failed connection changed player.cfg"
on A refill bob box2 127.0.0.1 "$server_port"
on A xdotool key Return
on A wait_for_line log.txt "Entering main engine..." 15
wait_for_line "$work_dir/server.out" "Player Name: bob"
expect_lines_match "${player_dir[A]}/player.cfg" name=bob host=box2 server=127\\.0\\.0\\.1 "port=$server_port"
finish
