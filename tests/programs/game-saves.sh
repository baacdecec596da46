#!/usr/bin/env bash
# Saved games through the real client: --load starts a local game on a saved game and F5
# writes that game back byte for byte; a file that is no saved game leaves the built-in map
# with a message, and F9 without a quick save says so while the game goes on.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"

# write_plain_game FILE: a 100 x 100 game of terrain kind 1 without objects, made by hand.
write_plain_game() {
  {
    printf 'KORVANE-SAVE 1 0.26.20\n'
    printf '\x27\x20MAP0000TER\x00\x64\x00\x64'
    head -c 10000 /dev/zero | tr '\0' '\1'
    printf '\x00\x0cMAP0000///'
  } >"$1"
}

# start_loading FILE: the client started on a saved game; sets wid, false when no window came.
start_loading() {
  start_client 16 640 480 --load "$1"
  wid=$(wait_window '^Tarvix DNM$')
  [ -n "$wid" ] || { fail "the client's window did not appear"; return 1; }
}

new_case load-and-save "${all_files[@]}"
write_plain_game plain.kvs
if start_loading plain.kvs; then
  wait_for_line out.txt "Game loaded from plain.kvs."
  wait_for_line log.txt "Entering main engine..."
  key "$wid" F5
  wait_for_line out.txt "Game saved in quicksave.kvs."
  cmp -s quicksave.kvs plain.kvs || fail "quicksave.kvs is not the game that was loaded"
  import -window "$wid" loaded.png
  quit_game_and_client
fi

new_case not-a-save "${all_files[@]}"
printf 'hello\n' >bad.kvs
if start_loading bad.kvs; then
  wait_for_line out.txt "Could not load bad.kvs: not a saved game. Playing the built-in map."
  wait_for_line log.txt "Entering main engine..."
  key "$wid" F9
  wait_for_line out.txt "Could not load quicksave.kvs: No such file or directory. The game goes on."
  key "$wid" F5
  wait_for_file quicksave.kvs
  [ "$(head -n 1 quicksave.kvs)" = "KORVANE-SAVE 1 0.26.20" ] || fail "quicksave.kvs has no header"
  [ -e bad.kvs ] || fail "the unreadable file was removed"
  quit_game_and_client
fi

finish
