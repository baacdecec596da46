#!/usr/bin/env bash
# Two players through the real korvaned: the first uploads the built-in map, the second
# downloads it, and both hold the same map; both show the blue "+" of a connection.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/game-common.bash"
source "$(dirname "$0")/net-common.bash"

case_name=two-clients
start_server || finish
start_and_join A || finish
expect_file_line "${player_dir[A]}/out.txt" "QUERY DONE mapstat 0"
expect_file_line "${player_dir[A]}/out.txt" "CLIENT: connected"
grep -q '^%' "${player_dir[A]}/out.txt" || fail "A printed no %"
start_and_join B || finish
expect_file_line "${player_dir[B]}/out.txt" "QUERY DONE mapstat 10"
grep -q '^%' "${player_dir[B]}/out.txt" || fail "B printed no %"
for p in A B; do
  on $p wait_until 5 indicator_is blue || fail "$p's indicator is not a blue +"
done
on B import -window "${player_wid[B]}" "$work_dir/B-joined.png"

on A diagnose
on B diagnose
expect_same_map A B
[ "$(grep -c '^__OBJECT_' "${player_dir[B]}/map1")" = 6 ] || fail "B's map1 lacks the six buildings"
[ "$(grep -c '^__UNIT_' "${player_dir[B]}/map1")" = 4 ] || fail "B's map1 lacks the four units"
grep -q '^2,2,2$' "${player_dir[B]}/map1" || fail "B's terrain lacks the test tile at (2, 2)"

on A leave
on B leave
finish
