#!/usr/bin/env bash
# Moving the view with the real pointer: a minimap click and the screen's left edge move it,
# and it stands still while the pointer rests in the middle. The "X" button leaves the game.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"

# The map view below the message overlay and above the panel.
map_area=640x280+0+75

# still_for WINDOW SECONDS: the map area shows the same picture over that time.
still_for() {
  local before
  before=$(picture_hash "$1" "$map_area")
  sleep "$2"
  [ "$(picture_hash "$1" "$map_area")" = "$before" ]
}

new_case view "${all_files[@]}"
start_local_game || finish
xdotool mousemove --window "$wid" 320 200
start=$(settled_hash "$wid" "$map_area")
[ -n "$start" ] || fail "the map view never settled"
still_for "$wid" 1.5 || fail "the view moved with the pointer in the middle"

# Tile (50, 50) lies in the middle of the minimap, away from the scrolling edges.
minimap_tile "$wid" 50 50
xdotool mousemove --window "$wid" 320 200
centred=$(settled_hash "$wid" "$map_area")
[ -n "$centred" ] && [ "$centred" != "$start" ] || fail "a minimap click did not move the view"
import -window "$wid" centred.png
still_for "$wid" 1 || fail "the view moved after the minimap click"

# The pointer on the left edge scrolls the view; back in the middle it stops.
xdotool mousemove --window "$wid" 2 200
sleep 0.5
xdotool mousemove --window "$wid" 320 200
scrolled=$(settled_hash "$wid" "$map_area")
[ -n "$scrolled" ] && [ "$scrolled" != "$centred" ] || fail "the left edge did not scroll the view"
still_for "$wid" 1 || fail "the view kept scrolling with the pointer in the middle"

# The "X" at the top right leaves the game as "q" does.
click "$wid" 633 8
quit_client_after_game

finish
