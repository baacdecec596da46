#!/usr/bin/env bash
# Quick clicks as remote desktops and touchpads send them: presses held 0, 5, 20 and 100 ms,
# five of each, on a main-menu entry and on a toolbar item. Every one must land. Prints the
# table ("menu 0 ms: 5/5") on standard output.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"

first_item=80x80+6+380   # the toolbar's first item: the build toolbar's differs from the main one's
holds=(0 5 20 100)

# quick_click WINDOW X Y MS: a press held MS milliseconds (0: press and release back to back).
quick_click() {
  xdotool mousemove --window "$1" "$2" "$3"
  sleep 0.15
  if [ "$4" -eq 0 ]; then
    xdotool click 1
  else
    xdotool mousedown 1
    sleep "$(printf '0.%03d' "$4")"
    xdotool mouseup 1
  fi
}

games_entered() { grep -c "Entering main engine..." log.txt 2>/dev/null; }
games_left() { grep -c "Exiting main engine..." log.txt 2>/dev/null; }

# menu_try MS: a quick click on "Local Game"; true when the game starts. Leaves it again.
menu_try() {
  local before
  before=$(games_entered)
  park "$wid"
  settled_hash "$wid" >/dev/null
  quick_click "$wid" 320 158 "$1"
  if wait_until 3 eval '[ "$(games_entered)" -gt "$before" ]'; then
    sleep 0.3
    key "$wid" q
    wait_until 5 eval '[ "$(games_left)" -eq "$(games_entered)" ]' || fail "the game did not end"
    return 0
  fi
  return 1
}

# toolbar_try MS: a quick click on the main toolbar's "Build", which shows the build
# toolbar; true when the panel changes. A normal click returns to the main toolbar.
toolbar_try() {
  local main_bar
  park "$wid"
  main_bar=$(settled_hash "$wid" "$first_item")
  quick_click "$wid" $((5 + 4 * 85 + 41)) 424 "$1"
  if wait_until 2 eval '! picture_is "$wid" "$main_bar" "$first_item"'; then
    toolbar_item "$wid" 5
    park "$wid"
    wait_picture "$wid" "$main_bar" "$first_item" || fail "the main toolbar did not come back"
    return 0
  fi
  return 1
}

# count_landings WHERE TRY: five clicks of each hold through TRY HOLD_MS; every one must land.
count_landings() {
  local ms try landed
  for ms in "${holds[@]}"; do
    landed=0
    for try in 1 2 3 4 5; do "$2" "$ms" && landed=$((landed + 1)); done
    echo "$1 $ms ms: $landed/5"
    [ "$landed" -eq 5 ] || fail "$1: $landed of 5 clicks held $ms ms landed"
  done
}

new_case clicks "${all_files[@]}"
start_client 16 640 480
wid=$(wait_window '^Tarvix DNM$')
[ -n "$wid" ] || { fail "the main menu did not appear"; finish; }
sleep 0.5

count_landings menu menu_try

menu_item "$wid" 1
wait_for_line log.txt "Entering main engine..."
sleep 0.5
count_landings toolbar toolbar_try
quit_game_and_client
finish
