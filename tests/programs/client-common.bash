# Shared by the client's program tests (sourced; not a test itself). The sourcing script
# re-runs itself under a private Xvfb server, works in a temporary directory and stops the
# client it started on exit. Needs KORVANE_BUILD and KORVANE_SOURCE.
set -u
if [ -z "${KORVANE_XVFB_RUNNING:-}" ]; then
  KORVANE_XVFB_RUNNING=1 exec "$KORVANE_SOURCE/tests/with-xvfb" bash "$0" "$@"
fi

run_dir="$KORVANE_BUILD/run"
work_dir=$(mktemp -d)
client_pid=""
failures=0

stop_client() {
  if [ -n "$client_pid" ] && kill -0 "$client_pid" 2>/dev/null; then
    kill "$client_pid" 2>/dev/null
    wait "$client_pid" 2>/dev/null
  fi
  client_pid=""
}
# A failed run keeps its temporary directory, with a screenshot per failure, for a look.
remove_work_dir() {
  if [ "$failures" -eq 0 ]; then rm -rf "$work_dir"; else echo "kept for a look: $work_dir" >&2; fi
}
trap 'stop_client; remove_work_dir' EXIT

fail() {
  echo "FAIL [$case_name]: $*" >&2
  failures=$((failures + 1))
  import -window root "$work_dir/failure-$failures.png" 2>/dev/null
}

# wait_for_exit PID SECONDS: sets exit_code to the exit code of the process (a child of this
# shell), or to "timeout" when it is still running after SECONDS.
wait_for_exit() {
  local i
  exit_code=timeout
  for i in $(seq 1 $(($2 * 20))); do
    if ! kill -0 "$1" 2>/dev/null; then
      wait "$1"
      exit_code=$?
      return
    fi
    sleep 0.05
  done
}

# new_case NAME FILE...: a fresh directory holding the client and the named run-folder files.
new_case() {
  stop_client
  case_name=$1
  shift
  mkdir -p "$work_dir/$case_name"
  cd "$work_dir/$case_name" || exit 1
  ln -s "$run_dir/korvane" korvane
  local f
  for f in "$@"; do ln -s "$run_dir/$f" "$f"; done
}

all_files=(tarvix.dat gamedata.dat times.ttf background.jpg title1.png return.png)

# start_client ARG...: starts the client in the background. Allegro's messages go to stdout
# (out.txt) because no message window program is on its PATH; stderr goes to err.txt.
start_client() {
  env PATH=/nonexistent ./korvane "$@" >out.txt 2>err.txt &
  client_pid=$!
}

# wait_window REGEX: prints the id of the client's window whose title matches; empty on timeout.
wait_window() {
  timeout 10 xdotool search --sync --name "$1" 2>/dev/null | head -n 1
}

# wait_until SECONDS COMMAND...: runs the command every 0.05 s until it succeeds; false when
# the deadline passes first.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -le "$deadline" ] || return 1
    sleep 0.05
  done
}

# leave_menu WID: presses Esc until the client ends (the menu may not read keys yet when its
# window first appears), for at most 10 s.
leave_menu() {
  local deadline=$((SECONDS + 10))
  while kill -0 "$client_pid" 2>/dev/null && [ "$SECONDS" -le "$deadline" ]; do
    press_key "$1" Escape
    wait_until 1 client_ended
  done
}

# file_has_line FILE LINE: the file holds this exact line.
file_has_line() { grep -Fxq -- "$2" "$1" 2>/dev/null; }

# press_key WINDOW [KEY]: moves the pointer into the window (the keyboard focus follows it)
# and waits until the window has the focus before the key.
press_key() {
  xdotool mousemove --window "$1" 20 20
  xdotool windowfocus --sync "$1" 2>/dev/null
  xdotool key "${2:-space}"
}

# click_at X Y: a left click at a screen position, held 0.05 s like a person's.
click_at() {
  xdotool mousemove "$1" "$2"
  xdotool mousedown 1
  sleep 0.05
  xdotool mouseup 1
}

# wait_client [SECONDS]: waits for the client to end and sets exit_code ("timeout" if it
# did not end in time).
wait_client() {
  local i
  exit_code=timeout
  for i in $(seq 1 $(( ${1:-10} * 20 ))); do
    if ! kill -0 "$client_pid" 2>/dev/null; then
      wait "$client_pid"
      exit_code=$?
      client_pid=""
      return
    fi
    sleep 0.05
  done
}

expect_exit() {
  wait_client "${2:-10}"
  [ "$exit_code" = "$1" ] || fail "exit code $exit_code, expected $1"
}

# expect_waiting: the client has not ended on its own (it waits for the player).
expect_waiting() {
  sleep 0.5
  kill -0 "$client_pid" 2>/dev/null || fail "the client ended without waiting for a key"
}

expect_file_line() {  # FILE LINE: an exact line of the file
  grep -Fxq -- "$2" "$1" 2>/dev/null || fail "$1 lacks the line '$2'"
}

expect_no_file_line() {
  ! grep -Fxq -- "$2" "$1" 2>/dev/null || fail "$1 holds the line '$2'"
}

# expect_lines_match FILE REGEX...: the file has exactly these lines, each matching its
# extended regular expression in full.
expect_lines_match() {
  local file=$1
  shift
  local -a lines
  mapfile -t lines <"$file"
  [ "${#lines[@]}" -eq $# ] || fail "$file has ${#lines[@]} lines, expected $#"
  local i=0 pattern
  for pattern in "$@"; do
    [[ "${lines[$i]:-}" =~ ^${pattern}$ ]] || fail "$file line $((i + 1)) is '${lines[$i]:-}', expected /$pattern/"
    i=$((i + 1))
  done
}

# pixel_of IMAGE X Y: prints "r,g,b" (0..255) of one pixel.
pixel_of() {
  convert "$1" -format '%[fx:int(255*p{'"$2,$3"'}.r+0.5)],%[fx:int(255*p{'"$2,$3"'}.g+0.5)],%[fx:int(255*p{'"$2,$3"'}.b+0.5)]' info:
}

# expect_colour_near IMAGE X Y R G B: each channel within 8 of the expected value.
expect_colour_near() {
  local got r g b
  got=$(pixel_of "$1" "$2" "$3")
  IFS=, read -r r g b <<<"$got"
  if (( ${r:-999} - $4 > 8 || $4 - ${r:-999} > 8 || ${g:-999} - $5 > 8 || $5 - ${g:-999} > 8 ||
        ${b:-999} - $6 > 8 || $6 - ${b:-999} > 8 )); then
    fail "pixel ($2,$3) of $1 is ($got), expected about ($4,$5,$6)"
  fi
}

finish() {
  stop_client
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
  exit 0
}

# window_size WINDOW: prints "WIDTHxHEIGHT".
window_size() {
  local WIDTH HEIGHT X Y SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "${WIDTH}x${HEIGHT}"
}

# run_to_test_view ARG...: starts the client with all its files, waits for the main menu,
# quits it with Esc and expects exit code 0. Sets game_size to the size of the
# window that showed the view.
run_to_test_view() {
  start_client "$@"
  game_window=$(wait_window '^Tarvix DNM$')
  [ -n "$game_window" ] || { fail "the main menu did not appear"; return; }
  game_size=$(window_size "$game_window")
  leave_menu "$game_window"
  expect_exit 0
}

# channel_max IMAGE GEOMETRY CHANNEL: the largest value (0..255) of one channel (R, G or B)
# in the region WIDTHxHEIGHT+X+Y.
channel_max() {
  convert "$1" -crop "$2" +repage -channel "$3" -separate -format '%[fx:int(255*maxima+0.5)]' info:
}

# has_white IMAGE GEOMETRY: prints 1 when the region holds a (nearly) white pixel, else 0.
has_white() {
  convert "$1" -crop "$2" +repage -fuzz 4% -fill black +opaque white -format '%[fx:maxima>0]' info:
}

# expect_options READ DEPTH WIDTH HEIGHT: the "Initial Options" block of the log.
expect_initial_options() {
  expect_file_line log.txt "Initial Options [?$1]:"
  expect_file_line log.txt "Colour Depth: $2"
  expect_file_line log.txt "Screen Resolution: $3"
}

# expect_final_options DEPTH WIDTHxHEIGHT DRIVER: in the log and on standard output.
expect_final_options() {
  local lines
  lines=$(sed -n '/^Final Options:$/,/^Graphics driver:/p' log.txt)
  [ "$lines" = "$(printf 'Final Options:\nColour depth: %s\nScreen resolution: %s\nGraphics driver: %s' "$1" "$2" "$3")" ] ||
    fail "final options in the log: $lines"
  expect_file_line out.txt "Colour depth: $1"
  expect_file_line out.txt "Screen resolution: ${2/x/ x }"
  expect_file_line out.txt "Graphics driver: $3"
}

# full_screen_shown: a full-screen mode shows its picture in a nameless window of the
# display's size.
full_screen_shown() {
  local size
  size=$(xdotool getdisplaygeometry | tr ' ' x)
  xwininfo -root -children | grep -Eq "\(has no name\): \(\)  ${size}\+0\+0"
}

# --- the screen-mode chooser (a 640 x 480 picture; positions below are within it) ---

# find_chooser: waits for the chooser's window and its drawn picture; sets chooser_x and
# chooser_y to the picture's top left corner on the screen. The picture is either the
# 640 x 480 window itself or, in a full-screen mode, centred on the screen.
find_chooser() {
  chooser_wid=$(wait_window '^korvane$')
  [ -n "$chooser_wid" ] || { fail "the chooser did not appear"; return 1; }
  wait_until 10 locate_chooser_picture || { fail "the chooser's picture was not drawn"; return 1; }
}

# chooser_click_until X Y COMMAND...: clicks at X Y within the picture until the command
# succeeds. Allegro sometimes centres the pointer once, a moment after the picture shows,
# which can carry a first click away from its button: then the click is made again.
chooser_click_until() {
  local x=$1 y=$2
  shift 2
  chooser_click "$x" "$y"
  wait_until 3 "$@" && return 0
  chooser_click "$x" "$y"
  wait_until 10 "$@"
}

client_ended() { ! kill -0 "$client_pid" 2>/dev/null; }

locate_chooser_picture() {
  local WIDTH HEIGHT X Y SCREEN WINDOW candidates=()
  eval "$(xdotool getwindowgeometry --shell "$chooser_wid" 2>/dev/null)"
  [ "${WIDTH:-0}x${HEIGHT:-0}" = 640x480 ] && candidates+=("$X $Y")
  read -r WIDTH HEIGHT < <(xdotool getdisplaygeometry)
  candidates+=("$(( (WIDTH - 640) / 2 )) $(( (HEIGHT - 480) / 2 ))")
  local origin
  for origin in "${candidates[@]}"; do
    read -r chooser_x chooser_y <<<"$origin"
    chooser_shows_status && return 0
  done
  return 1
}

# chooser_region W H X Y: prints the geometry of an area of the chooser's picture.
chooser_region() { echo "${1}x${2}+$((chooser_x + $3))+$((chooser_y + $4))"; }

chooser_status_hash() {
  import -window root -crop "$(chooser_region 640 10 0 378)" +repage ppm:- 2>/dev/null | md5sum
}
chooser_shows_status() {
  import -window root screen.png 2>/dev/null &&
    [ "$(has_white screen.png "$(chooser_region 640 10 0 378)")" = 1 ]
}

# Button centres and caption areas within the picture.
driver_buttons=("160 150" "160 171")
depth_buttons=("330 149" "330 170" "330 191" "330 212")
resolution_buttons=("520 149" "520 170" "520 191" "520 212" "520 233")
ok_button="275 450" save_button="320 450" quit_button="365 450"

chooser_click() {  # X Y within the picture
  click_at $((chooser_x + $1)) $((chooser_y + $2))
}

# caption_is_white X Y: the caption of the button centred there is white (selected).
caption_is_white() {
  import -window root screen.png 2>/dev/null &&
    [ "$(has_white screen.png "$(chooser_region 30 9 $(($1 - 15)) $(($2 - 4)))")" = 1 ]
}

# choose X Y: clicks a column button and waits until it shows as selected.
choose() {
  chooser_click_until "$1" "$2" caption_is_white "$1" "$2" || fail "the button at $1,$2 was not selected"
}

# press_quit, press_ok: click until the chooser has ended (Quit) or the game's window shows.
press_quit() { chooser_click_until $quit_button client_ended; }
press_ok() { chooser_click_until $ok_button xdotool search --name '^Tarvix DNM$' >/dev/null; }

# press_save: clicks Save and waits until the status line changes.
press_save() {
  local before
  before=$(chooser_status_hash)
  chooser_click_until $save_button eval '[ "$(chooser_status_hash)" != "$before" ]' ||
    fail "Save showed nothing"
}
