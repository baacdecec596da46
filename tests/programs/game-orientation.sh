#!/usr/bin/env bash
# What keeps a player oriented, with the real pointer and keys at 640 x 480 x 16: the game
# opens on the player's own (green-ringed) soldiers; a pointer resting on the toolbar leaves
# the view still, the screen's last rows scroll it; a held arrow scrolls; an item left for
# outside the window loses its highlight; Diagnose says how to return.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"

view=640x354+0+15
items=500x100+0+372
help_strip=640x14+0+464

new_case orientation "${all_files[@]}"
start_local_game || finish

# ring_pixels: pixels of owner colour 0, (48, 224, 64) give or take 15, at the view's middle.
ring_pixels() {
  import -window "$wid" png:- 2>/dev/null | convert - -crop 200x120+220+130 +repage txt:- |
    grep -c '#3.E.4.'
}

# The player's units stand there on their rings (two of them: a few hundred pixels).
[ "$(ring_pixels)" -gt 100 ] || fail "no green-ringed soldiers in the view's middle"

# Resting on the "Statistics" label and right of the minimap: the view stays.
xdotool mousemove --window "$wid" 216 461
sleep 0.3
still=$(picture_hash "$wid" "$view")
sleep 1
[ "$(picture_hash "$wid" "$view")" = "$still" ] || fail "the view drifted under a toolbar label"
xdotool mousemove --window "$wid" 620 420
sleep 1
[ "$(picture_hash "$wid" "$view")" = "$still" ] || fail "the view drifted right of the minimap"

# The last row of the screen scrolls.
xdotool mousemove --window "$wid" 216 479
wait_until 2 eval '! picture_is "$wid" "$still" "$view"' || fail "the bottom edge did not scroll"

# A held arrow scrolls on its own, without the keyboard's repeats.
park "$wid"
before=$(settled_hash "$wid" "$view")
xdotool keydown Left
sleep 0.4
xdotool keyup Left
after=$(settled_hash "$wid" "$view")
[ "$after" != "$before" ] || fail "a held arrow did not scroll"

# An item left for outside the window shows as it does with the pointer elsewhere.
park "$wid"
plain=$(settled_hash "$wid" "$items")
xdotool mousemove --window "$wid" 216 424
sleep 0.3
xdotool mousemove 216 900
sleep 0.5
[ "$(picture_hash "$wid" "$items")" = "$plain" ] || fail "the toolbar item stayed lit"

# Diagnose: the catalogue with its white help line, until a key.
xdotool mousemove --window "$wid" 20 100
rm -f map1
toolbar_item "$wid" 1
wait_until 3 window_shows "$wid" "$help_strip" 255 255 255 || fail "Diagnose shows no help line"
import -window "$wid" diagnose.png
key "$wid" space
wait_for_file map1  # written once the key has ended the picture

quit_game_and_client
finish
