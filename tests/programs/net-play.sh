#!/usr/bin/env bash
# Playing together through the real korvaned: a unit moved by A walks on B's screen, a
# building placed by B stands on A's, a unit of B's killed by A's blasts leaves both maps, and
# a third player joining afterwards downloads the game as it is now.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"
source "$(dirname "$0")/net-common.bash"

case_name=play
start_server || finish
start_and_join A || finish
start_and_join B || finish

# A's rifleman at (15, 15) walks three cells to (15, 18).
on A minimap_tile "${player_wid[A]}" 15 15
on A click "${player_wid[A]}" 320 176
on A click "${player_wid[A]}" $((320 + 3 * 36)) $((192 + 54 - 18)) 3
on A wait_for_line out.txt "move 1"
on B wait_until 10 grep -Eq 'MOVE \([0-9a-f]+,[0-9a-f]+\)-\(f,12\)' out.txt ||
  fail "B saw no move ending at (15, 18)"
on A toolbar_item "${player_wid[A]}" 5
on B diagnose
grep -Eq '^__UNIT_[0-9]+_1518__END_UNIT_1_$' "${player_dir[B]}/map1" || fail "B's map1 lacks the unit at (15, 18)"
grep -Eq '^__UNIT_[0-9]+_1515__END_UNIT_1_$' "${player_dir[B]}/map1" && fail "B's map1 still has a unit at (15, 15)"

# B places a barracks over (18, 12); A holds it.
on B minimap_tile "${player_wid[B]}" 15 15
on B toolbar_item "${player_wid[B]}" 4
on B toolbar_item "${player_wid[B]}" 0
on B xdotool mousemove --window "${player_wid[B]}" 104 174
sleep 0.3
on B click "${player_wid[B]}" 106 175
on B toolbar_item "${player_wid[B]}" 5
wait_until 5 grep -q "Player: CRE 1" "$work_dir/server.out" || fail "the server saw no building of B's"
on A diagnose
grep -Eq '^__OBJECT_[0-9]+_18121__END_OBJECT_[0-9]+_$' "${player_dir[A]}/map1" || fail "A's map1 lacks B's barracks at (18, 12)"
[ "$(grep -c '^__OBJECT_' "${player_dir[A]}/map1")" = 7 ] || fail "A's map1 does not hold seven buildings"

# A's second unit goes to (17, 12), beside the barracks; A's rifleman fires at the barracks
# and its blasts destroy that unit: "D" on A's standard output.
on A minimap_tile "${player_wid[A]}" 14 15
on A click "${player_wid[A]}" 320 176
on A minimap_tile "${player_wid[A]}" 17 12
on A click "${player_wid[A]}" 320 176 3
on B wait_until 15 grep -Eq 'MOVE \([0-9a-f]+,[0-9a-f]+\)-\(11,c\)' out.txt ||
  fail "B saw no move ending at (17, 12)"
on A minimap_tile "${player_wid[A]}" 15 18
on A click "${player_wid[A]}" 320 176
on A minimap_tile "${player_wid[A]}" 18 12
on A click "${player_wid[A]}" 320 176 3
on A wait_for_line out.txt "attack"
on A wait_until 60 eval "sed -n '/^attack\$/,\$p' out.txt | grep -q D" || fail "A's blasts destroyed no unit"
# The rifleman is called off to (25, 25) before the barracks falls too.
on A minimap_tile "${player_wid[A]}" 25 25
on A click "${player_wid[A]}" 320 176 3
on B wait_until 30 grep -Eq 'MOVE \([0-9a-f]+,[0-9a-f]+\)-\(19,19\)' out.txt ||
  fail "B saw no move ending at (25, 25)"
on A import -window "${player_wid[A]}" "$work_dir/A-after-attack.png"
on B import -window "${player_wid[B]}" "$work_dir/B-after-attack.png"
on A toolbar_item "${player_wid[A]}" 5
for p in A B; do
  on $p diagnose
  grep -Eq '_1712__END_UNIT_' "${player_dir[$p]}/map1" && fail "$p's map1 still holds the destroyed unit"
  [ "$(grep -c '^__UNIT_' "${player_dir[$p]}/map1")" = 3 ] || fail "$p's map1 does not hold three units"
done
expect_same_map A B

# C joins now and downloads the game as it stands.
start_and_join C || finish
expect_file_line "${player_dir[C]}/out.txt" "QUERY DONE mapstat 10"
on C diagnose
expect_same_map A C
grep -Eq '^__OBJECT_[0-9]+_18121__END_OBJECT_' "${player_dir[C]}/map1" || fail "C's map1 lacks B's barracks"

for p in A B C; do on $p leave; done
finish
