#!/usr/bin/env bash
# Options > "Screen Mode": the choice saved to screeninfo.inf is the mode of the next start;
# a file that cannot be written is reported and left as it was.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"

status_strip=640x14+0+466
options_item() { click "$wid" 320 $(($1 * 106 + 156)); }  # of three entries at 640 wide
depth_row() { echo "30x9+315+$((145 + 21 * $1))"; }  # a depth caption at 640 x 480

# open_screen_mode ROW: Options > "Screen Mode", which shows the depth of ROW (0-3) as chosen
# (a gold caption) and the others not.
open_screen_mode() {
  menu_item "$wid" 2
  sleep 0.5
  options_item 0
  park "$wid"
  wait_until 10 gold_shown "$wid" "$(depth_row "$1")" || fail "Screen Mode did not open on depth $1"
  local row
  for row in 0 1 2 3; do
    [ "$row" = "$1" ] || ! gold_shown "$wid" "$(depth_row $row)" || fail "depth $row shows as chosen too"
  done
}
save_button="565 389"

new_case saved-for-next-start "${all_files[@]}"
printf '24\n800\n600\n1\n' >screeninfo.inf
start_client 16 640 480
wid=$(wait_window '^Tarvix DNM$')
open_screen_mode 2  # 24 bits, from the file
status=$(picture_hash "$wid" $status_strip)
click "$wid" 160 170  # "Windowed"
click "$wid" 330 212  # "32bit"
click "$wid" 520 191  # "1024x768"
click "$wid" $save_button
wait_until 5 eval '[ "$(picture_hash "$wid" $status_strip)" != "$status" ]' || fail "Save said nothing"
expect_lines_match screeninfo.inf 32 1024 768 2
import -window "$wid" "$work_dir/screen-mode-640.png"
leave_menu "$wid"
expect_exit 0
# The next start plays in the saved mode and offers it as the current choice.
start_client
wid=$(wait_window '^Tarvix DNM$')
[ "$(window_size "$wid")" = 1024x768 ] || fail "the next start's window is $(window_size "$wid")"
click "$wid" 512 $((3 * 102 + 52))  # "Options" of five at 1024 wide
sleep 0.5
click "$wid" 512 $((170 + 85))     # "Screen Mode" of three
wait_until 10 gold_shown "$wid" 30x9+507+352 || fail "32bit is not the current choice"
import -window "$wid" "$work_dir/screen-mode-1024.png"
leave_menu "$wid"
expect_exit 0
expect_final_options 32 1024x768 2

new_case write-failure "${all_files[@]}"
mkdir screeninfo.inf
start_client 16 640 480
wid=$(wait_window '^Tarvix DNM$')
open_screen_mode 1  # 16 bits, the running mode
click "$wid" $save_button
wait_for_line log.txt "Could not save screeninfo.inf."
[ -d screeninfo.inf ] && [ -z "$(ls -A screeninfo.inf)" ] || fail "screeninfo.inf changed"
leave_menu "$wid"
expect_exit 0
finish
