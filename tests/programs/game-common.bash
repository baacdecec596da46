# Shared by the game's program tests (sourced after client-common.bash). A 640 x 480 game:
# the map view is (0, 15)-(640, 369), tiles are 36 pixels (zoom 11), the minimap covers
# (524, 371)-(635, 478) at 1.11 pixels a tile, the toolbar items are 82 pixels wide at a
# pitch of 85 from x = 5.

# wait_for_line FILE TEXT [SECONDS]: waits until the file holds a line containing TEXT.
wait_for_line() {
  local i
  for i in $(seq 1 $(( ${3:-10} * 20 ))); do
    grep -Fq -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.05
  done
  fail "$1 never held '$2'"
  return 1
}

# wait_for_file FILE [SECONDS]
wait_for_file() {
  local i
  for i in $(seq 1 $(( ${2:-10} * 20 ))); do
    [ -s "$1" ] && return 0
    sleep 0.05
  done
  fail "$1 was never written"
  return 1
}

# click WINDOW X Y [BUTTON]: a real press and release at a window point.
click() {
  xdotool mousemove --window "$1" "$2" "$3"
  sleep 0.15
  xdotool mousedown "${4:-1}"
  sleep 0.05
  xdotool mouseup "${4:-1}"
  sleep 0.15
}

# key WINDOW KEY: a key with the pointer resting inside the map view's middle.
key() {
  # A real move, so that the keyboard focus (which follows the pointer) is on the window.
  xdotool mousemove --window "$1" 310 190
  sleep 0.1
  xdotool mousemove --window "$1" 320 200
  sleep 0.15
  xdotool key "$2"
  sleep 0.15
}

menu_item() {  # WINDOW INDEX (0-based) of a five-entry menu at 640 wide
  click "$1" 320 $(( (${2} + 1) * 64 + 30 ))
}

toolbar_item() {  # WINDOW INDEX (0-based)
  click "$1" $(( 5 + $2 * 85 + 41 )) 424
}

# minimap_tile WINDOW X Y: a click on the minimap over map tile (X, Y), which re-centres the
# view so that the tile's bottom corner lies at the view's centre, screen (320, 192).
minimap_tile() {
  click "$1" $(( 524 + $3 * 111 / 100 + 1 )) $(( 371 + $2 * 111 / 100 + 1 ))
}

# start_local_game: the client at 640 x 480 with all its files, in a local game.
start_local_game() {
  start_client 16 640 480
  wid=$(wait_window '^Tarvix DNM$')
  [ -n "$wid" ] || { fail "the main menu did not appear"; return 1; }
  sleep 0.5
  menu_item "$wid" 1
  wait_for_line log.txt "Entering main engine..." || return 1
  sleep 0.5
}

# quit_game_and_client: "q" back to the menu, Esc out of the client with exit code 0.
quit_game_and_client() {
  key "$wid" q
  wait_for_line log.txt "Exiting main engine..."
  sleep 1  # the menu takes its keys once it is drawn again
  press_key "$wid" Escape
  expect_exit 0
  expect_file_line log.txt "The End."
}
