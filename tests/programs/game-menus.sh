#!/usr/bin/env bash
# The menus with the real pointer and keys: a screenshot from the main menu with its notice,
# the options menu and its two screens, the credits, and Esc out of the program.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"

notice_strip=640x20+0+460
dialog_box=20x8+520+124     # inside the player name box
chosen_depth=30x9+315+166  # the caption of "16bit" on the Screen Mode page

new_case menus "${all_files[@]}"
start_client 16 640 480
wid=$(wait_window '^Tarvix DNM$')
[ -n "$wid" ] || { fail "the main menu did not appear"; finish; }
park "$wid"
settled_hash "$wid" >/dev/null || fail "the main menu never settled"

# "s": dump.png is the opaque picture of the menu, the notice waits for a key.
key "$wid" s
wait_for_file dump.png
wait_until 5 window_shows "$wid" "$notice_strip" 160 160 255 || fail "no screenshot notice"
[ "$(identify -format '%wx%h %[opaque]' dump.png)" = "640x480 true" ] ||
  fail "dump.png is $(identify -format '%wx%h opaque=%[opaque]' dump.png)"
[ "$(channel_max dump.png 200x200+0+0 G)" -gt 0 ] || fail "dump.png is black"
key "$wid" space
wait_until 5 window_lacks "$wid" "$notice_strip" 160 160 255 ||
  fail "a key did not dismiss the notice"
expect_waiting
park "$wid"
main_menu=$(settled_hash "$wid")

# Options: "Screen Mode" opens its page (a gold, chosen caption) and Esc closes it; "Player"
# opens the dialog with its grey boxes and Esc closes it; "Back to Main Menu" (the third entry
# of three) returns to the main menu.
menu_item "$wid" 2
park "$wid"
options_menu=$(settled_hash "$wid")
[ -n "$options_menu" ] && [ "$options_menu" != "$main_menu" ] || fail "the options menu did not show"
window_lacks "$wid" "$dialog_box" 208 208 208 || fail "the options menu already shows the box's grey"
click "$wid" 320 156
wait_until 5 gold_shown "$wid" "$chosen_depth" || fail "Screen Mode opened nothing"
key "$wid" Escape
park "$wid"
wait_picture "$wid" "$options_menu" || fail "Esc did not close Screen Mode"
click "$wid" 320 262
wait_until 5 window_shows "$wid" "$dialog_box" 208 208 208 || fail "Player opened no dialog"
import -window "$wid" options-dialog.png
# The pointer shows in the dialog: the same empty patch looks different with it over it.
pointer_patch=24x24+100+100
xdotool mousemove --window "$wid" 60 60
sleep 0.3
without_pointer=$(picture_hash "$wid" "$pointer_patch")
xdotool mousemove --window "$wid" 104 104
wait_until 2 eval '! picture_is "$wid" "$without_pointer" "$pointer_patch"' ||
  fail "no pointer in the options dialog"
key "$wid" Escape
park "$wid"
wait_picture "$wid" "$options_menu" || fail "Esc did not close the Player dialog"
click "$wid" 320 368
park "$wid"
wait_picture "$wid" "$main_menu" || fail "\"Back to Main Menu\" did not return"

# Credits roll until a key, back to the main menu.
menu_item "$wid" 3
wait_for_line log.txt "theCredits.doMe(3) next"
sleep 1  # a moment of the roll for the picture
import -window "$wid" credits.png
[ "$(picture_hash "$wid")" != "$main_menu" ] || fail "the credits did not show"
key "$wid" space
park "$wid"
wait_picture "$wid" "$main_menu" || fail "a key did not end the credits"

# One Esc quits from the main menu.
key "$wid" Escape
expect_exit 0
expect_file_line log.txt "The End."

# Without background.jpg (after the loading screen's notice of it) the menus stand on plain
# (0, 64, 64).
new_case plain-menu tarvix.dat gamedata.dat times.ttf title1.png return.png
start_client 16 640 480
wid=$(wait_window '^Tarvix DNM \[Loading\]$')
expect_waiting
press_key "$wid"
wid=$(wait_window '^Tarvix DNM$')
[ -n "$wid" ] || { fail "the main menu did not appear"; finish; }
park "$wid"
settled_hash "$wid" >/dev/null || fail "the main menu never settled"
import -window "$wid" plain.png
expect_colour_near plain.png 10 10 0 64 64
expect_colour_near plain.png 630 470 0 64 64
leave_menu "$wid"
expect_exit 0

finish
