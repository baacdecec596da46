#!/usr/bin/env bash
# The client's fatal start-up paths, driven as a player meets them: the notice, the key
# press, the message and the exit code.
source "$(dirname "$0")/client-common.bash"

# version_of_object0 FILE VERSION: rewrites the "ID  " property of the datafile's object 0.
set_version() {
  cp --remove-destination "$run_dir/$1" "$1"
  local name
  name=$(dat -l "$1" | awk '$1 == "-" { print $4; exit }')
  dat -n0 "$1" "$name" "ID  =$2" >/dev/null || fail "dat could not set the version of $1"
}

# A cloud pixel is pure red (the progress bar's unpainted part shows the background).
expect_cloud() {
  local got r g b
  got=$(pixel_of "$1" "$2" "$3")
  IFS=, read -r r g b <<<"$got"
  [ "$g" -le 8 ] && [ "$b" -le 8 ] || fail "pixel ($2,$3) of $1 is ($got), expected cloud red"
}

# expect_notice_then_exit TITLE_REGEX STDOUT_LINE: the client waits on its loading screen
# until a key is pressed, then ends with code 1 and the message.
expect_notice_then_exit() {
  local wid
  wid=$(wait_window "$1")
  [ -n "$wid" ] || { fail "no window"; return; }
  expect_waiting
  import -window "$wid" notice.png
  press_key "$wid"
  expect_exit 1
  expect_file_line out.txt "$2"
  expect_file_line out.txt "Get it from https://korvane.example.org/download"
}

loading='^Tarvix DNM \[Loading\]$'

new_case eight-bit-argument "${all_files[@]}"
./korvane 8 640 480 >out.txt 2>err.txt &
client_pid=$!
wid=$(wait_window '^xmessage$')
[ -n "$wid" ] || fail "no message window"
expect_waiting
press_key "$wid" Return
expect_exit 2
expect_no_file_line log.txt "Initilized Graphics."
expect_file_line log.txt "Initilizing Graphics..."

new_case eight-bit-settings "${all_files[@]}"
printf '8\n1024\n768\n2\n' >screeninfo.inf
start_client
expect_exit 2
expect_file_line out.txt "Sorry, DNM does not support 8-bit modes."
expect_file_line log.txt "Colour depth: 8"
expect_no_file_line log.txt "Initilized Graphics."
[ -z "$(xdotool search --name 'Tarvix' 2>/dev/null)" ] || fail "a game window was opened"

new_case missing-tarvix gamedata.dat times.ttf background.jpg
start_client 16 640 480
expect_notice_then_exit "$loading" "No tarvix.dat found!"
[ "$(tail -n 1 log.txt)" = "Loading 'tarvix.dat'" ] || fail "log goes past tarvix.dat"
expect_no_file_line out.txt "Loading Datafile 'gamedata.dat'..."
# A quarter of the progress bar, inside its grey and white frame, over the clouds.
expect_colour_near notice.png 240 262 160 160 240
expect_cloud notice.png 300 262
expect_colour_near notice.png 320 269 128 128 128
expect_colour_near notice.png 320 270 255 255 255

new_case missing-gamedata tarvix.dat times.ttf background.jpg
start_client 16 640 480
expect_notice_then_exit "$loading" "No gamedata.dat found!"
[ "$(tail -n 1 log.txt)" = "Loading 'gamedata.dat'" ] || fail "log goes past gamedata.dat"
expect_colour_near notice.png 300 262 160 160 240
expect_cloud notice.png 340 262

new_case wrong-tarvix-version gamedata.dat times.ttf background.jpg
set_version tarvix.dat 0.26.1
start_client 16 640 480
expect_notice_then_exit "$loading" "Wrong version of tarvix.dat found!"
expect_no_file_line log.txt "Loading 'gamedata.dat'"

new_case wrong-gamedata-version tarvix.dat times.ttf background.jpg
set_version gamedata.dat 0.26.11
start_client 24 640 480
expect_notice_then_exit "$loading" "Wrong version of gamedata.dat found!"
expect_no_file_line log.txt "Creating and clearing blankBitmap."

new_case unreadable-tarvix gamedata.dat
echo "not a datafile" >tarvix.dat
start_client 16 640 480
expect_exit 1
expect_file_line out.txt "Error loading tarvix.dat!"

new_case no-display "${all_files[@]}"
env -u DISPLAY PATH=/nonexistent ./korvane 16 640 480 >out.txt 2>err.txt
rc=$?
[ "$rc" = 1 ] || fail "exit code $rc without a display, expected 1"
expect_file_line out.txt "Error initialising Allegro"

finish
