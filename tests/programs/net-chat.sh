#!/usr/bin/env bash
# Texts between players through the real korvaned, and a connection that tries to break the
# game: its "MSA" and "LST" leave both players' frames in step, its terrain upload is refused,
# a chat line typed in one client reaches the other's log, and a joiner downloads the map the
# players have.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"
source "$(dirname "$0")/net-common.bash"

# The third connection: a protocol client of our own on descriptor 7.
send_text() {  # TEXT: one frame holding the text, without a terminating zero
  printf "\\x00\\x$(printf %02x $((${#1} + 2)))" >&7
  printf '%s' "$1" >&7
}

case_name=chat
start_server || finish
start_and_join A || finish
start_and_join B || finish

exec 7<>"/dev/tcp/127.0.0.1/$server_port" || { fail "no third connection"; finish; }
printf '\x00\x0eDNM0.26.20l\x00' >&7
send_text "REGthird@box"
wait_for_line "$work_dir/server.out" "Player Name: third"
send_text "MSA hello"
send_text "LST"
{ printf '\x27\x20MAP0000TER\x00\x64\x00\x64'; head -c 10000 /dev/zero | tr '\0' '\3'; } >&7
printf '\x00\x11MOV0000\x00\x01\x00\x02\x00\x03\x00\x04' >&7
for p in A B; do
  on $p wait_for_line log.txt "Message: third: hello"
  on $p wait_for_line out.txt "MOVE (1,2)-(3,4)"
done
wait_for_line "$work_dir/server.out" "refused TER from third@box"

# A says something through the main toolbar's "Message"; the box never leaves build mode
# behind: the map click afterwards places nothing.
on A toolbar_item "${player_wid[A]}" 5
on A xdotool type --delay 40 "hi there"
on A import -window "${player_wid[A]}" "$work_dir/A-typing.png"
on A xdotool key Return
on B wait_for_line log.txt "Message: A: hi there"
on A wait_for_line log.txt "Message: A: hi there"
on A minimap_tile "${player_wid[A]}" 50 50
on A click "${player_wid[A]}" 320 176

# Esc cancels B's line, and B stays in the game.
on B toolbar_item "${player_wid[B]}" 5
on B xdotool type --delay 40 "never sent"
on B xdotool key Escape
on B wait_until 5 indicator_is blue || fail "B left the game on Esc"
grep -q "never sent" "${player_dir[A]}/log.txt" && fail "B's cancelled line reached A"
grep -q "Exiting main engine" "${player_dir[B]}/log.txt" && fail "Esc in the box ended B's game"

start_and_join C || finish
expect_file_line "${player_dir[C]}/out.txt" "QUERY DONE mapstat 10"
on A diagnose
on C diagnose
expect_same_map A C
[ "$(grep -c '^__OBJECT_' "${player_dir[A]}/map1")" = 6 ] || fail "A's click after the chat placed a building"
exec 7>&-

for p in A B C; do on $p leave; done
finish
