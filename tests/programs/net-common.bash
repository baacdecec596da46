# Shared by the network game's program tests (sourced after client-common.bash and
# game-common.bash): the real korvaned on a free port, and players, each a real korvane in a
# folder of its own on an Xvfb display of its own (two clients on one display cover each
# other). Helpers that act on "the player" use $wid and the display set by `on`.

server_pid="" server_port=""
display_holders=()
declare -A player_pid player_wid player_display player_dir

stop_net() {
  local n h
  for n in "${!player_pid[@]}"; do
    kill "${player_pid[$n]}" 2>/dev/null && wait "${player_pid[$n]}" 2>/dev/null
  done
  stop_server
  for h in "${display_holders[@]}"; do kill "$h" 2>/dev/null; done
  wait 2>/dev/null
}
trap 'stop_net; stop_client; remove_work_dir' EXIT

stop_server() {
  [ -n "$server_pid" ] && kill -9 "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  server_pid=""
}

# start_server: korvaned on a free port; sets server_port. Its console goes to server.out.
start_server() {
  local attempt i
  for attempt in 1 2 3 4 5; do
    server_port=$((20000 + RANDOM % 40000))
    "$KORVANE_BUILD/server/korvaned" "$server_port" >"$work_dir/server.out" 2>"$work_dir/server.err" &
    server_pid=$!
    for i in $(seq 1 200); do
      grep -q "Server up and running." "$work_dir/server.err" 2>/dev/null && return 0
      kill -0 "$server_pid" 2>/dev/null || break  # the port was taken: another one
      sleep 0.05
    done
    stop_server
  done
  fail "korvaned did not start"
  return 1
}

# open_display: starts a private Xvfb display that lives until the test ends; sets new_display.
open_display() {
  local f="$work_dir/display.$BASHPID.$RANDOM" i
  "$KORVANE_SOURCE/tests/with-xvfb" bash -c 'echo "$DISPLAY $$" >"$1.part" && mv "$1.part" "$1" && exec sleep 100000' _ "$f" &
  for i in $(seq 1 200); do
    [ -s "$f" ] && break
    sleep 0.05
  done
  local holder
  read -r new_display holder <"$f" 2>/dev/null || { fail "no Xvfb display"; return 1; }
  display_holders+=("$holder")
}

# start_player NAME: a client at 640 x 480 with all its files in folder NAME on a display of
# its own, up to its main menu.
start_player() {
  local n=$1 f
  open_display || return 1
  player_display[$n]=$new_display
  player_dir[$n]="$work_dir/$n"
  mkdir -p "${player_dir[$n]}"
  ln -s "$run_dir/korvane" "${player_dir[$n]}/korvane"
  for f in "${all_files[@]}"; do ln -s "$run_dir/$f" "${player_dir[$n]}/$f"; done
  pushd "${player_dir[$n]}" >/dev/null || return 1
  DISPLAY=$new_display env PATH=/nonexistent ./korvane 16 640 480 >out.txt 2>err.txt &
  player_pid[$n]=$!
  popd >/dev/null || return 1
  player_wid[$n]=$(DISPLAY=$new_display timeout 10 xdotool search --sync --name '^Tarvix DNM$' 2>/dev/null | head -n 1)
  [ -n "${player_wid[$n]}" ] || { fail "$n: the main menu did not appear"; return 1; }
}

# on NAME COMMAND...: runs the command for that player: its display, its folder, its $wid.
on() {
  local n=$1 saved_display=${DISPLAY:-} saved_dir=$PWD rc
  shift
  export DISPLAY=${player_display[$n]}
  wid=${player_wid[$n]}
  player=$n
  cd "${player_dir[$n]}" || return 1
  "$@"
  rc=$?
  export DISPLAY=$saved_display
  cd "$saved_dir" || return 1
  return $rc
}

# colour_near IMAGE X Y R G B: each channel within 12 of the expected value.
colour_near() {
  local r g b
  IFS=, read -r r g b <<<"$(pixel_of "$1" "$2" "$3")"
  (( ${r:-999} - $4 <= 12 && $4 - ${r:-999} <= 12 && ${g:-999} - $5 <= 12 &&
     $5 - ${g:-999} <= 12 && ${b:-999} - $6 <= 12 && $6 - ${b:-999} <= 12 ))
}

# has_colour IMAGE GEOMETRY COLOUR: the region holds a pixel near the colour (e.g. "#ff0000").
has_colour() {
  [ "$(convert "$1" -crop "$2" +repage -fuzz 20% -fill black +opaque "$3" -fill white -opaque "$3" \
       -format '%[fx:maxima>0]' info:)" = 1 ]
}

# The dialog is open when the right end of the name box shows its grey.
dialog_open() { import -window "$wid" shot.png 2>/dev/null && colour_near shot.png 550 128 208 208 208; }

# fill_dialog NAME HOST SERVER PORT: each box cleared (Tab selects its text, BackSpace
# empties it) and typed into with real key presses.
fill_dialog() {
  xdotool mousemove --window "$wid" 20 20
  sleep 0.15
  local text
  for text in "$@"; do
    xdotool key Tab BackSpace
    [ -n "$text" ] && xdotool type --delay 30 "$text"
  done
  sleep 0.2
}

# open_dialog: "Network Game" from the main menu.
# A loaded machine can still be loading data files when the window appears, and a click
# before the menu runs is lost: the click is repeated until the dialog shows.
open_dialog() {
  local try
  for try in 1 2 3; do
    menu_item "$wid" 0
    wait_until 4 dialog_open && break
    leave_options_menu
  done
  dialog_open || { fail "$player: the network dialog did not open"; return 1; }
}

# white_pixels X Y W H: how many nearly white pixels (menu labels) the window shows there.
white_pixels() {
  import -window "$wid" png:- 2>/dev/null |
    convert - -crop "${3}x${4}+${1}+${2}" +repage -colorspace gray -threshold 88% \
      -format '%[fx:round(mean*w*h)]' info:- 2>/dev/null || echo 0
}

# leave_options_menu: on a loaded machine the press meant for "Network Game" now and then
# reaches a client that still counts the pointer at the window's middle, on "Options".
# The Options menu shows "Player" where the main menu shows nothing and nothing where the
# main menu shows "Options": then "Back to Main Menu" is clicked and the menu awaited.
leave_options_menu() {
  xdotool mousemove --window "$wid" 20 20  # off the items, so that none is lit
  sleep 0.3
  (( $(white_pixels 300 256 40 12) > 20 && $(white_pixels 292 215 40 14) == 0 )) || return 0
  echo "note [$case_name]: $player's click reached the Options menu; back to the main menu"
  click "$wid" 320 368
  wait_until 4 eval '(( $(white_pixels 292 215 40 14) > 20 ))'
}

# join: through the dialog into a game on the server, as player NAME@box.
join() {
  open_dialog || return 1
  fill_dialog "$player" box 127.0.0.1 "$server_port"
  xdotool key Return
  wait_for_line out.txt "QUERY DONE mapstat" 15 || return 1
  wait_for_line log.txt "Entering main engine..." 15 || return 1
  sleep 0.5
}

# start_and_join NAME: a new player NAME, through its dialog into the server's game.
start_and_join() {
  start_player "$1" && on "$1" join
}

# diagnose: a fresh "map1" through the main toolbar's Diagnose (a key ends its picture).
diagnose() {
  rm -f map1
  toolbar_item "$wid" 1
  sleep 0.5
  key "$wid" space
  wait_for_file map1
}

# map_summary FILE: the terrain lines, then the building and unit lines without their list
# index, sorted (list order depends on history).
map_summary() {
  sed -n '/^__START_TERRAINS_$/,/^__END_TERRAINS_$/p' "$1"
  grep '^__OBJECT_' "$1" | sed -E 's/^__OBJECT_[0-9]+_(.*)__END_OBJECT_[0-9]+_$/OBJECT \1/' | sort
  grep '^__UNIT_' "$1" | sed -E 's/^__UNIT_[0-9]+_/UNIT /' | sort
}

# expect_same_map A B: both players' "map1" hold the same map.
expect_same_map() {
  if ! diff <(map_summary "${player_dir[$1]}/map1") <(map_summary "${player_dir[$2]}/map1") >"$work_dir/map.diff"; then
    fail "$1's and $2's map1 differ: $(head -c 400 "$work_dir/map.diff")"
  fi
}

# The connection indicator left of the quit button: a red "-" or a blue "+".
indicator_is() {  # red|blue
  local colour='#ff0000'
  [ "$1" = blue ] && colour='#0000ff'
  import -window "$wid" shot.png 2>/dev/null && has_colour shot.png 13x14+613+1 "$colour"
}

# leave: "q" ends the game, Esc the menu; exit code 0.
leave() {
  key "$wid" q
  wait_for_line log.txt "Exiting main engine..."
  sleep 1  # the menu takes its keys once it is drawn again
  press_key "$wid" Escape
  local pid=${player_pid[$player]} code
  wait_for_exit "$pid" 10
  code=$exit_code
  [ "$code" = timeout ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  unset "player_pid[$player]"
  [ "$code" = 0 ] || fail "$player ended with exit code $code"
}
