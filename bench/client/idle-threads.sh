#!/usr/bin/env bash
# bench/client/idle-threads.sh RUN_FOLDER BPP WIDTH HEIGHT SCENE [SECONDS]: the processor time
# of each of the client's threads while it waits untouched in one scene, as % of one core
# over SECONDS (default 30), from the kernel's per-thread run time (/proc/PID/task/*/schedstat,
# nanoseconds). The threads in the order they start: the client's own (main), Allegro's
# background thread (X input and output) and Allegro's timer thread. SCENE: menu, options, screenmode, player or game (a local game). Starts the
# client from RUN_FOLDER with the mode on its command line; needs a display
# (tests/with-xvfb bash bench/client/idle-threads.sh build/release/run 16 640 480 menu).
set -u
if [ $# -lt 5 ] || [ $# -gt 6 ]; then
  echo "usage: idle-threads.sh RUN_FOLDER BPP WIDTH HEIGHT menu|options|screenmode|player|game [SECONDS]" >&2
  exit 2
fi
run=$(cd "$1" && pwd) bpp=$2 w=$3 h=$4 scene=$5 seconds=${6:-30}
work=$(mktemp -d)
cd "$work" || exit 1
for f in korvane tarvix.dat gamedata.dat times.ttf background.jpg title1.png return.png; do
  ln -s "$run/$f" "$f"
done
env PATH=/nonexistent ./korvane "$bpp" "$w" "$h" >out.txt 2>err.txt &
pid=$!
trap 'kill -9 $pid 2>/dev/null; wait $pid 2>/dev/null; cd /; rm -rf "$work"' EXIT
wid=$(timeout 20 xdotool search --sync --name '^Tarvix DNM$' | head -n 1)
[ -n "$wid" ] || { echo "the client's window did not appear" >&2; exit 1; }
sleep 2

click() {
  xdotool mousemove --window "$wid" "$1" "$2"
  sleep 0.15
  xdotool mousedown 1
  sleep 0.05
  xdotool mouseup 1
  sleep 1
}
menu_y() { echo $(( ($1 + 1) * (w / 2 / $2) + w / 4 / $2 )); }  # entry $1 of $2 entries
case $scene in
  menu) ;;
  options) click $((w / 2)) "$(menu_y 2 5)" ;;
  screenmode) click $((w / 2)) "$(menu_y 2 5)"; click $((w / 2)) "$(menu_y 0 3)" ;;
  player) click $((w / 2)) "$(menu_y 2 5)"; click $((w / 2)) "$(menu_y 1 3)" ;;
  game)
    click $((w / 2)) "$(menu_y 1 5)"
    for _ in $(seq 100); do grep -q "Entering main engine" log.txt 2>/dev/null && break; sleep 0.1; done
    sleep 2
    ;;
  *) echo "unknown scene $scene" >&2; exit 2 ;;
esac
# The pointer rests in a corner, inside the window.
xdotool mousemove --window "$wid" $((w - 5)) $((h - 5))
sleep 1

snapshot() {
  local t
  for t in /proc/$pid/task/*; do
    echo "${t##*/} $(cut -d' ' -f1 "$t/schedstat" 2>/dev/null || echo 0) $(cat "$t/comm" 2>/dev/null)"
  done
}
before=$(snapshot)
sleep "$seconds"
after=$(snapshot)
echo "$scene ${bpp} bits ${w}x${h}, ${seconds} s:"
awk -v s="$seconds" '
  BEGIN { split("main allegro-x allegro-timer", names) }
  NR == FNR { start[$1] = $2; next }
  { used = ($2 - start[$1]) / 1e9 / s * 100; total += used; n++
    printf "  %-14s %-8s %6.2f %%\n", (n in names ? names[n] : "thread"), $1, used }
  END { printf "  %-23s %6.2f %%\n", "whole process", total }
' <(echo "$before") <(echo "$after")
