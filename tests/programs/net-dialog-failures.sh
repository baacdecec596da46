#!/usr/bin/env bash
# The network dialog's failures: a closed port leaves the dialog open with the failure in its
# status line; Cancel and Esc go back to the menu; port "70000" (4464 modulo 65536) reaches no
# one listening on 4464.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"
source "$(dirname "$0")/net-common.bash"

case_name=dialog-failures
start_player A || finish

closed_port() {  # a port nothing listens on
  local p
  while :; do
    p=$((20000 + RANDOM % 40000))
    (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null || { echo "$p"; return; }
  done
}
port=$(closed_port)

# The status line: white text on the bottom strip.
status_hash() { import -window "$wid" -crop 640x14+0+466 +repage ppm:- 2>/dev/null | md5sum; }

# pointer_shows: an empty patch of the dialog looks different with the pointer over it.
pointer_shows() {
  local patch=24x24+40+300 without
  xdotool mousemove --window "$wid" 10 260
  sleep 0.3
  without=$(picture_hash "$wid" "$patch")
  xdotool mousemove --window "$wid" 44 304
  wait_until 2 eval '! picture_is "$wid" "$without" "$patch"'
}

on A open_dialog
on A import -window "${player_wid[A]}" "$work_dir/dialog.png"
on A pointer_shows || fail "no pointer in the network dialog"
before=$(on A status_hash)
on A fill_dialog ann box 127.0.0.1 "$port"
on A xdotool key Return
on A wait_for_line log.txt "Connect to 127.0.0.1:$port failed. Try again."
on A dialog_open || fail "the dialog closed after a failed connection"
[ "$(on A status_hash)" != "$before" ] || fail "the status line did not change"
grep -q "CLIENT: can't connect to server." "${player_dir[A]}/err.txt" || fail "no connection was tried"
grep -q "CLIENT: connected" "${player_dir[A]}/out.txt" && fail "the client counts as connected"

# Cancel, then Esc: each goes back to the menu, which opens the dialog again.
on A click "${player_wid[A]}" $((640 - 170 + 27)) $((480 - 100 + 9))
on A wait_until 5 eval '! dialog_open' || fail "Cancel did not close the dialog"
on A open_dialog
on A press_key "${player_wid[A]}" Tab  # Esc with the name box being edited
on A press_key "${player_wid[A]}" Escape
on A wait_until 5 eval '! dialog_open' || fail "Esc did not close the dialog"
kill -0 "${player_pid[A]}" 2>/dev/null || fail "the client ended instead of going back to the menu"

# A server on 4464 sees no contact from port "70000".
"$KORVANE_BUILD/server/korvaned" 4464 >"$work_dir/4464.out" 2>"$work_dir/4464.err" &
server_pid=$!
wait_until 5 grep -q "Server up and running." "$work_dir/4464.err" 2>/dev/null ||
  fail "korvaned could not listen on 4464"
on A open_dialog
on A fill_dialog ann box 127.0.0.1 70000
on A xdotool key Return
on A wait_for_line log.txt "Connect to 127.0.0.1:70000 failed. Try again."
sleep 1
grep -q "contacted\|Version found" "$work_dir/4464.out" && fail "port 70000 reached the server on 4464"
on A dialog_open || fail "the dialog closed after port 70000"
stop_server

on A press_key "${player_wid[A]}" Escape
on A wait_until 5 eval '! dialog_open'
sleep 1
on A press_key "${player_wid[A]}" Escape
wait_until 10 eval '! kill -0 "${player_pid[A]}" 2>/dev/null' || fail "the client did not end on Esc"
wait "${player_pid[A]}"
code=$?
unset "player_pid[A]"
[ "$code" = 0 ] || fail "the client ended with exit code $code"
finish
