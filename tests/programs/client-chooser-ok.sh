#!/usr/bin/env bash
# The screen-mode chooser's OK and a Save that cannot write.
source "$(dirname "$0")/client-common.bash"

# OK without a choice plays 15 bits at 640 x 480 full screen, and writes no settings.
new_case ok-without-choice "${all_files[@]}"
start_client
find_chooser
press_ok
wid=$(wait_window '^Tarvix DNM$')
[ -n "$wid" ] || fail "the game did not start after OK"
wait_until 5 full_screen_shown || fail "no full-screen picture"
leave_menu "$wid"
expect_exit 0
expect_final_options 15 640x480 1
[ ! -e screeninfo.inf ] || fail "OK wrote screeninfo.inf"

# A directory in the way of screeninfo.inf: the chooser says so, stays open, writes nothing.
new_case save-unwritable "${all_files[@]}"
mkdir screeninfo.inf
start_client -setup
find_chooser
press_save
kill -0 "$client_pid" 2>/dev/null || fail "the chooser closed after a failed Save"
import -window root screen.png
[ "$(has_white screen.png "$(chooser_region 640 10 0 378)")" = 0 ] ||
  fail "a white status line after a failed Save"
press_quit
expect_exit 2
expect_file_line log.txt "Could not save screeninfo.inf."
[ -d screeninfo.inf ] && [ -z "$(ls -A screeninfo.inf)" ] || fail "something was written"

finish
