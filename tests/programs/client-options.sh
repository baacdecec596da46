#!/usr/bin/env bash
# Where the client takes its graphics mode from: the command line, screeninfo.inf or the
# chooser, as its log and its window show.
source "$(dirname "$0")/client-common.bash"

new_case preset "${all_files[@]}"
printf '24\n1024\n768\n2\n' >screeninfo.inf
run_to_test_view 16 800 600
expect_initial_options 0 16 800x600
expect_file_line log.txt "Options have been preset."
expect_file_line out.txt "Options have been preset."
expect_no_file_line log.txt "Reading options from screeninfo.inf."
expect_final_options 16 800x600 2
[ "$game_size" = 800x600 ] || fail "window is $game_size"

new_case extra-arguments "${all_files[@]}"
run_to_test_view 15 640 480 ignored
expect_final_options 15 640x480 2

new_case settings-file "${all_files[@]}"
printf '16\n800\n600\n2\n' >screeninfo.inf
run_to_test_view
expect_initial_options 1 24 640x480
expect_file_line log.txt "Reading options from screeninfo.inf."
expect_no_file_line log.txt "Options have been preset."
expect_no_file_line log.txt "Getting user options..."
expect_final_options 16 800x600 2
[ "$game_size" = 800x600 ] || fail "window is $game_size"

new_case two-arguments "${all_files[@]}"
printf '15\n1024\n768\n2\n' >screeninfo.inf
run_to_test_view 16 800
expect_initial_options 1 24 640x480
expect_file_line log.txt "Reading options from screeninfo.inf."
expect_final_options 15 1024x768 2
[ "$game_size" = 1024x768 ] || fail "window is $game_size"

new_case log-option "${all_files[@]}"
printf '32\n640\n480\n2\n' >screeninfo.inf
run_to_test_view -log
expect_initial_options 1 24 640x480
expect_final_options 32 640x480 2

# Without a settings file, and with -setup despite one, the chooser decides: OK without a
# choice plays 15 bits at 640 x 480 full screen (driver 1) and leaves the file as it was.
new_case no-settings-file "${all_files[@]}"
start_client
find_chooser
press_ok
game_window=$(wait_window '^Tarvix DNM$')
leave_menu "$game_window"
expect_exit 0
expect_file_line log.txt "Getting user options..."
expect_file_line out.txt "Getting user options..."
expect_final_options 15 640x480 1
[ ! -e screeninfo.inf ] || fail "OK wrote screeninfo.inf"

new_case setup-option "${all_files[@]}"
printf '16\n800\n600\n2\n' >screeninfo.inf
start_client -setup
find_chooser
press_ok
game_window=$(wait_window '^Tarvix DNM$')
leave_menu "$game_window"
expect_exit 0
expect_file_line log.txt "Getting user options..."
expect_no_file_line log.txt "Reading options from screeninfo.inf."
expect_final_options 15 640x480 1
expect_lines_match screeninfo.inf 16 800 600 2

# Unreadable lines read as 0 and are used as they are: driver 0 is Allegro's autodetection.
new_case settings-not-numbers "${all_files[@]}"
printf '16\n800\n600\nwindowed\n' >screeninfo.inf
run_to_test_view
expect_final_options 16 800x600 0

# A mode that cannot be set falls back to 640 x 480 at the first depth that works (16).
new_case unknown-driver "${all_files[@]}"
printf '24\n800\n600\n12345\n' >screeninfo.inf
run_to_test_view
expect_final_options 24 800x600 12345
expect_file_line log.txt "Initilized Graphics."

# Missing lines read as 0: a height of 0 falls back instead of ending the program.
new_case settings-short "${all_files[@]}"
printf '32\n1024\n' >screeninfo.inf
run_to_test_view
expect_final_options 32 1024x0 0
expect_file_line log.txt "The End."

finish
