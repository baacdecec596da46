#!/usr/bin/env bash
# The screen-mode chooser, driven with the pointer: Save writes screeninfo.inf and the next
# start takes its mode from it.
source "$(dirname "$0")/client-common.bash"

new_case save-then-start "${all_files[@]}"
start_client -setup
find_chooser
choose ${depth_buttons[3]}
choose ${resolution_buttons[1]}
press_save
expect_lines_match screeninfo.inf 32 800 600 0
press_quit
expect_exit 2
expect_file_line log.txt "Quit selected from Screen Mode Selection screen"
run_to_test_view
expect_file_line log.txt "Reading options from screeninfo.inf."
expect_no_file_line log.txt "Getting user options..."
expect_final_options 32 800x600 0

new_case windowed "${all_files[@]}"
start_client -setup
find_chooser
choose ${driver_buttons[1]}
choose ${resolution_buttons[1]}
choose ${driver_buttons[0]}
choose ${driver_buttons[1]}
press_save
expect_lines_match screeninfo.inf 15 800 600 2
press_quit
expect_exit 2
run_to_test_view
expect_final_options 15 800x600 2
[ "$game_size" = 800x600 ] || fail "the game's window is $game_size, expected 800x600"

finish
