#!/usr/bin/env bash
# The server dies mid-game: both players' indicators turn to the red "-" within seconds, the
# game goes on locally (a unit still walks), and "q" and Esc end each client with exit code 0.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"
source "$(dirname "$0")/net-common.bash"

case_name=server-lost
start_server || finish
start_and_join A || finish
start_and_join B || finish
for p in A B; do
  on $p wait_until 5 indicator_is blue || fail "$p's indicator is not a blue + while connected"
done
on A import -window "${player_wid[A]}" "$work_dir/A-connected.png"

stop_server
for p in A B; do
  on $p wait_until 5 indicator_is red || fail "$p's indicator did not turn to a red - within 5 s"
  on $p indicator_is blue && fail "$p's indicator still shows blue"
done

# A's rifleman at (15, 15) walks three cells to (15, 18) on A's own map.
on A minimap_tile "${player_wid[A]}" 15 15
on A click "${player_wid[A]}" 320 176
on A click "${player_wid[A]}" $((320 + 3 * 36)) $((192 + 54 - 18)) 3
on A wait_for_line out.txt "move 1"
sleep 1
on A toolbar_item "${player_wid[A]}" 5
on A diagnose
grep -Eq '^__UNIT_[0-9]+_1518__END_UNIT_1_$' "${player_dir[A]}/map1" || fail "A's unit did not walk to (15, 18)"

on A leave
on B leave
finish
