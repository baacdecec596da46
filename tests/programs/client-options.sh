#!/usr/bin/env bash
# Where the client takes its graphics mode from: the command line, screeninfo.inf or the
# chooser, as its log and its window show.
source "$(dirname "$0")/client-common.bash"

# expect_options READ DEPTH WIDTH HEIGHT: the "Initial Options" block of the log.
expect_initial_options() {
  expect_file_line log.txt "Initial Options [?$1]:"
  expect_file_line log.txt "Colour Depth: $2"
  expect_file_line log.txt "Screen Resolution: $3"
}

# expect_final_options DEPTH WIDTHxHEIGHT DRIVER: in the log and on standard output.
expect_final_options() {
  local lines
  lines=$(sed -n '/^Final Options:$/,/^Graphics driver:/p' log.txt)
  [ "$lines" = "$(printf 'Final Options:\nColour depth: %s\nScreen resolution: %s\nGraphics driver: %s' "$1" "$2" "$3")" ] ||
    fail "final options in the log: $lines"
  expect_file_line out.txt "Colour depth: $1"
  expect_file_line out.txt "Screen resolution: ${2/x/ x }"
  expect_file_line out.txt "Graphics driver: $3"
}

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

# Without a settings file, and with -setup despite one, the chooser decides; the chooser
# stand-in keeps the default mode.
new_case no-settings-file "${all_files[@]}"
run_to_test_view
expect_file_line log.txt "Getting user options..."
expect_file_line out.txt "Getting user options..."
expect_final_options 24 640x480 2
[ ! -e screeninfo.inf ] || fail "the chooser stand-in wrote screeninfo.inf"

new_case setup-option "${all_files[@]}"
printf '16\n800\n600\n2\n' >screeninfo.inf
run_to_test_view -setup
expect_file_line log.txt "Getting user options..."
expect_no_file_line log.txt "Reading options from screeninfo.inf."
expect_final_options 24 640x480 2

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
