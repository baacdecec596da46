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
trap 'stop_client; rm -rf "$work_dir"' EXIT

fail() {
  echo "FAIL [$case_name]: $*" >&2
  failures=$((failures + 1))
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

# press_key WINDOW [KEY]: moves the pointer into the window (the keyboard focus follows it).
press_key() {
  xdotool mousemove --window "$1" 20 20
  sleep 0.1
  xdotool key "${2:-space}"
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
  sleep 0.3
  game_size=$(window_size "$game_window")
  press_key "$game_window" Escape
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
