#!/usr/bin/env bash
# The game installed into a prefix: every file in its place, the desktop entry, the manual
# pages and the service unit valid, the installed server answering a player, and the
# installed client, started from elsewhere, reading its data from the (moved) prefix and
# writing the player's files under XDG_DATA_HOME or ~/.local/share.
source "$(dirname "$0")/client-common.bash"
source "$(dirname "$0")/installed-files.bash"

prefix="$work_dir/prefix"
server_pid=""
trap 'stop_client; [ -n "$server_pid" ] && kill -9 "$server_pid" 2>/dev/null; remove_work_dir' EXIT

# has_tool TOOL: says so when the tool is missing (scripts/install-deps installs them all).
has_tool() {
  command -v "$1" >/dev/null && return 0
  echo "skipped [$case_name]: $1 is not installed"
  return 1
}

case_name=files
cmake --install "$KORVANE_BUILD" --prefix "$prefix" >"$work_dir/install.out" 2>&1 ||
  fail "cmake --install failed: $(tail -n 3 "$work_dir/install.out")"
for f in "${installed_files[@]}"; do
  [ -s "$prefix/$f" ] || fail "$f is missing or empty"
done
for f in games/korvane games/korvaned; do [ -x "$prefix/$f" ] || fail "$f is not executable"; done
for size in "${icon_sizes[@]}"; do
  got=$(identify -format '%m %wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/korvane.png" 2>&1)
  [ "$got" = "PNG ${size}x${size}" ] || fail "icon of size $size is '$got'"
done

case_name=desktop-entry
if has_tool desktop-file-validate; then
  out=$(desktop-file-validate "$prefix/share/applications/korvane.desktop" 2>&1) || fail "$out"
  grep -Fxq "Exec=$prefix/games/korvane" "$prefix/share/applications/korvane.desktop" ||
    fail "the entry does not start the installed client"
fi

case_name=manual-pages
if has_tool man; then
  for page in korvane korvaned; do
    MANWIDTH=80 man --warnings -l "$prefix/share/man/man6/$page.6.gz" >"$work_dir/$page.txt" \
      2>"$work_dir/$page.warnings" || fail "man -l $page.6 failed"
    [ -s "$work_dir/$page.warnings" ] && fail "$page.6: $(head -n 3 "$work_dir/$page.warnings")"
    grep -q "^ *$page - " "$work_dir/$page.txt" || fail "$page.6 has no NAME line"
  done
  grep -q -- "--state FILE" "$work_dir/korvaned.txt" || fail "korvaned.6 lacks --state"
  grep -q -- "XDG_DATA_HOME" "$work_dir/korvane.txt" || fail "korvane.6 lacks XDG_DATA_HOME"
fi

case_name=service-unit
unit="$prefix/lib/systemd/system/korvaned.service"
grep -Fxq "ExecStart=$prefix/games/korvaned --state %S/korvaned/state.kvs" "$unit" ||
  fail "ExecStart does not run the installed server with its state file"
for line in DynamicUser=yes StateDirectory=korvaned Restart=on-failure; do
  grep -Fxq "$line" "$unit" || fail "the unit lacks $line"
done
if has_tool systemd-analyze; then
  mkdir -p "$work_dir/units" && cp "$unit" "$work_dir/units/"
  # A setting systemd cannot parse is only a warning on its output, with status 0.
  if ! MANPATH="$prefix/share/man" systemd-analyze verify "$work_dir/units/korvaned.service" \
    >"$work_dir/verify.out" 2>&1 || [ -s "$work_dir/verify.out" ]; then
    fail "systemd-analyze verify: $(head -n 5 "$work_dir/verify.out")"
  fi
fi

# The installed server, started from a folder of its own, answers a version announcement with
# its own ("DNM", version, platform 'L').
case_name=server
mkdir -p "$work_dir/server" && cd "$work_dir/server" || exit 1
for attempt in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 40000))
  "$prefix/games/korvaned" "$port" >server.out 2>server.err &
  server_pid=$!
  wait_until 10 grep -q "Server up and running." server.err && break
  kill -9 "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null; server_pid=""
done
if [ -z "$server_pid" ]; then
  fail "the installed korvaned did not start"
else
  reply=$(timeout 10 bash -c 'exec 3<>"/dev/tcp/127.0.0.1/$1" &&
    printf "\x00\x0eDNM0.26.20l\x00" >&3 && head -c 13 <&3 | tail -c 11' _ "$port" 2>&1)
  [ "$reply" = "DNM0.26.20L" ] || fail "the server answered '$reply'"
  kill -9 "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null; server_pid=""
fi

# run_installed NAME ENV...: starts the installed client at 640 x 480 from the empty folder
# NAME, with only these environment variables beside DISPLAY.
run_installed() {
  mkdir -p "$work_dir/$1" && cd "$work_dir/$1" || exit 1
  case_name=$1
  shift
  env -i DISPLAY="$DISPLAY" PATH=/nonexistent "$@" "$moved/games/korvane" 16 640 480 \
    >"$work_dir/$case_name.out" 2>"$work_dir/$case_name.err" &
  client_pid=$!
}

# to_menu_and_back LOG: the client reaches its main menu (which it shows only when every data
# file, optional ones included, was found), writes LOG, quits with Esc and leaves the current
# folder empty.
to_menu_and_back() {
  local wid
  wid=$(wait_window '^Tarvix DNM$')
  [ -n "$wid" ] || { fail "the main menu did not appear: $(tail -n 2 "$work_dir/$case_name.out")"; return; }
  expect_file_line "$1" "Starting Game Class."
  leave_menu "$wid"
  expect_exit 0
  expect_file_line "$1" "The End."
  [ -z "$(ls -A)" ] || fail "files written in the current folder: $(ls -A | tr '\n' ' ')"
}

# A moved prefix still finds its data, beside its own executable.
moved="$work_dir/moved"
mv "$prefix" "$moved"

run_installed xdg-data-home XDG_DATA_HOME="$work_dir/xdg/not/yet" HOME="$work_dir/unused"
to_menu_and_back "$work_dir/xdg/not/yet/korvane/log.txt"
[ ! -e "$work_dir/unused" ] || fail "the home folder was used although XDG_DATA_HOME was set"

run_installed home-only HOME="$work_dir/home"
to_menu_and_back "$work_dir/home/.local/share/korvane/log.txt"

# A player's folder that cannot be made: a clear message and status 1, no window.
: >"$work_dir/plain-file"
run_installed unusable-folder XDG_DATA_HOME="$work_dir/plain-file"
expect_exit 1
expect_file_line "$work_dir/$case_name.err" \
  "korvane: cannot use the folder $work_dir/plain-file/korvane for the player's files: Not a directory"

finish
