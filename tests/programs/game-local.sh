#!/usr/bin/env bash
# A local game played with the real pointer and keys: a unit walks where it is sent, a
# building goes up once on its tile, the diagnostic keys log, and "q" leaves the game.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"

new_case local-game "${all_files[@]}"
start_local_game
grep -q '%' out.txt || fail "no % on standard output"
import -window "$wid" game.png

# The unit at (15, 15) comes to the view's centre; a click selects it, a right click three
# tiles further on sends it there.
minimap_tile "$wid" 15 15
click "$wid" 320 176
click "$wid" $(( 320 + 3 * 36 )) $(( 192 + 54 - 18 )) 3
wait_for_line out.txt "move 1"
sleep 1
import -window "$wid" selected.png
toolbar_item "$wid" 5   # back to the main toolbar
toolbar_item "$wid" 1   # Diagnose: the image view until a key, then "map1"
sleep 0.5
import -window "$wid" diagnose.png
key "$wid" space
wait_for_file map1
grep -Eq '^__UNIT_[0-9]+_1518__END_UNIT_' map1 || fail "the unit is not at (15, 18) in map1"
[ "$(grep -c '^__OBJECT_' map1)" = 6 ] || fail "map1 does not hold the six buildings"

# Build: the to-build toolbar, building type 1 over tile (18, 12), placed with a click.
toolbar_item "$wid" 4
toolbar_item "$wid" 0
xdotool mousemove --window "$wid" 104 174
sleep 0.3
xdotool mousemove --window "$wid" 106 175
sleep 0.3
import -window "$wid" preview.png
click "$wid" 106 175
toolbar_item "$wid" 0   # build mode again: the same tile is refused
click "$wid" 106 175
toolbar_item "$wid" 5
rm -f map1
toolbar_item "$wid" 1
sleep 0.3
key "$wid" space
wait_for_file map1
[ "$(grep -c '^__OBJECT_' map1)" = 7 ] || fail "map1 holds $(grep -c '^__OBJECT_' map1) buildings, expected 7"

# "t" dumps the layers into the log, "l" lays the toolbars out again.
key "$wid" t
wait_for_line log.txt "mapObjects:"
[ "$(grep -c 'Setting up Toolbar...' log.txt)" = 1 ] || fail "the toolbar was set up more than once"
key "$wid" l
sleep 0.3
[ "$(grep -c 'Setting up Toolbar...' log.txt)" = 2 ] || fail "\"l\" did not set the toolbar up again"
quit_game_and_client
expect_file_line log.txt "Entering main engine..."

finish
