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
  quit_client_after_game
}

# quit_client_after_game: once the game is being left, Esc out of the main menu; the client
# must end with exit code 0.
quit_client_after_game() {
  wait_for_line log.txt "Exiting main engine..."
  # One Esc, once the main menu has settled: the game's clicks must not have chosen an entry.
  park "$wid"
  settled_hash "$wid" >/dev/null || fail "the menu never settled after the game"
  press_key "$wid" Escape
  expect_exit 0
  expect_file_line log.txt "The End."
}

# picture_hash WINDOW [GEOMETRY]: a digest of the window's picture (or of a region of it).
picture_hash() {
  import -window "$1" ${2:+-crop "$2" +repage} -depth 8 rgb:- 2>/dev/null | md5sum | cut -c1-32
}

# park WINDOW: rests the pointer left of every menu entry and out of the edge-scroll zones'
# reach of a menu (the menus do not scroll), so that no entry is lit in a picture.
park() {
  xdotool mousemove --window "$1" 20 100
  sleep 0.15
}

# settled_hash WINDOW [GEOMETRY]: the picture's digest once two readings 0.3 s apart agree
# (at most 10 s); empty when it never settles.
settled_hash() {
  local previous="" now i
  for i in $(seq 1 30); do
    now=$(picture_hash "$@")
    [ "$now" = "$previous" ] && { echo "$now"; return 0; }
    previous=$now
    sleep 0.3
  done
  return 1
}

# wait_picture WINDOW DIGEST [GEOMETRY]: waits (10 s) until the picture has this digest.
wait_picture() {
  wait_until 10 picture_is "$@"
}
picture_is() { [ "$(picture_hash "$1" ${3:+"$3"})" = "$2" ]; }

# colour_count IMAGE GEOMETRY R G B: pixels of the region within 4 % of the colour.
colour_count() {
  convert "$1" -crop "$2" +repage -fuzz 4% -fill white -opaque "rgb($3,$4,$5)" \
    -fill black +opaque white -format '%[fx:int(mean*w*h+0.5)]' info:
}

# window_shows WINDOW GEOMETRY R G B: the window's picture holds the colour in the region.
window_shows() {
  import -window "$1" shown.png 2>/dev/null && [ "$(colour_count shown.png "$2" "$3" "$4" "$5")" -gt 0 ]
}
window_lacks() { ! window_shows "$@"; }

# gold_shown WINDOW GEOMETRY: the region holds over 20 pixels of the gold of a chosen caption
# (only that colour is counted: white is not).
gold_shown() {
  import -window "$1" gold.png 2>/dev/null && [ "$(convert gold.png -crop "$2" +repage -fuzz 4% \
    -fill black +opaque "rgb(255,224,64)" -fill white -opaque "rgb(255,224,64)" \
    -format '%[fx:int(mean*w*h+0.5)]' info:)" -gt 20 ]
}
