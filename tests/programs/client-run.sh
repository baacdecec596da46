#!/usr/bin/env bash
# A whole run of the client: loading screen, optional-file notices, the main menu and
# shutdown, with the full log and standard output.
source "$(dirname "$0")/client-common.bash"

# add_toolbar_log N: the log lines of a toolbar of N items being set up, added to the run's.
add_toolbar_log() {
  local i
  log_of_full_run+=("Initilizing Toolbar with $1 items\.\.0\. \(0,0\)-\(1,1\)")
  for ((i = 1; i < $1; ++i)); do log_of_full_run+=("$i\. \(0,0\)-\(1,1\)"); done
}

log_of_full_run=(
  'Starting Veldane Session: Tarvix Dunmarch Engine \(Alpha 20\.1\) 0\.26\.21'
  'compiled 17th November 2001'
  'Start time: [A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}'
  '' '' ''
  'Computer Information:'
  'cpu_id: (0|1)'
  'cpu_family: -?[0-9]+'
  'cpu_fpu: (0|2)'
  'cpu_mmx: (0|4)'
  'cpu_model: -?[0-9]+'
  'cpu_vendor: .*'
  ''
  'os_type: Linux'
  'os_version: -?[0-9]+\.-?[0-9]+'
  'Multitasking operating system'
  ''
  ' end of computer information'
  ''
  'Initial Options \[\?0\]:'
  'Colour Depth: 16'
  'Screen Resolution: 800x600'
  'Options have been preset\.'
  ''
  'Final Options:'
  'Colour depth: 16'
  'Screen resolution: 800x600'
  'Graphics driver: 2'
  'Initilizing Graphics\.\.\.'
  'Initilized Graphics\.'
  "Loading 'tarvix\.dat'"
  "Loading 'gamedata\.dat'"
  'Creating and clearing blankBitmap\.'
  'Initilsing Game Class\.'
)
add_toolbar_log 7
add_toolbar_log 6
add_toolbar_log 6
add_toolbar_log 6
log_of_full_run+=(
  'cGameEngine\(\)\.'
  'Initing cIsoView'
  'Map has maxpos 100x100'
  'Successfully Initilised Game Class'
  'Starting Game Class\.'
)
add_toolbar_log 5
log_of_full_run+=(
  'Closing Veldane Session\.\.\.'
  'The End\.'
)

stdout_of_full_run=(
  '.+'
  'Tarvix Dunmarch Engine \(Alpha 20\.1\) Version 0\.26\.21, compiled: 17th November 2001'
  ''
  'usage: korvane BPP XX YY'
  'OR: korvane -setup \[to reinit the settings file\]'
  ''
  'Options have been preset\.'
  ''
  'Final Options:'
  'Colour depth: 16'
  'Screen resolution: 800 x 600'
  ''
  'Graphics driver: 2'
  'Initilizing Graphics\.\.\.'
  "Loading Datafile 'tarvix\.dat'\.\.\."
  "Loading Datafile 'gamedata\.dat'\.\.\."
)

new_case full-run "${all_files[@]}"
start_client 16 800 600
wid=$(wait_window '^Tarvix DNM$')
[ -n "$wid" ] || fail "the main menu did not appear"
expect_waiting
import -window "$wid" test-view.png
leave_menu "$wid"
expect_exit 0
expect_lines_match log.txt "${log_of_full_run[@]}"
expect_lines_match out.txt "${stdout_of_full_run[@]}"
[[ "$(cat err.txt)" =~ ^h[hs]*$ ]] || fail "standard error is '$(cat err.txt)', expected mouse traces"
# The menu's background: more than a black screen.
[ "$(channel_max test-view.png 200x200+0+0 R)$(channel_max test-view.png 200x200+0+0 G)" != 00 ] ||
  fail "the main menu is empty"

# Without times.ttf the start stops at three quarters with a notice; the loading screen shows
# the clouds, the frame and three quarters of the bar, and the logo above the centre.
new_case loading-screen tarvix.dat gamedata.dat background.jpg title1.png return.png
start_client 16 640 480
wid=$(wait_window '^Tarvix DNM \[Loading\]$')
expect_waiting
import -window "$wid" loading.png
expect_colour_near loading.png 360 262 160 160 240
expect_cloud() { [ "$(channel_max loading.png "$1" G)$(channel_max loading.png "$1" B)" = 00 ] || fail "$1 is not pure cloud"; }
expect_cloud 10x10+380+257
expect_cloud 640x20+0+440
expect_colour_near loading.png 320 270 255 255 255
[ "$(has_white loading.png 640x10+0+360)" = 1 ] || fail "no notice text at three quarters height"
[ "$(channel_max loading.png 640x238+0+0 G)" -gt 8 ] || fail "no logo above the centre"
press_key "$wid"
wid=$(wait_window '^Tarvix DNM$')
[ -n "$wid" ] || fail "the start did not continue after the notice"
leave_menu "$wid"
expect_exit 0
expect_file_line log.txt "The End."

# Both optional files missing: one notice only; without title1.png no logo.
new_case no-optional-files tarvix.dat gamedata.dat
start_client 16 640 480
wid=$(wait_window '^Tarvix DNM \[Loading\]$')
expect_waiting
import -window "$wid" loading.png
expect_cloud 640x238+0+0
press_key "$wid"
wid=$(wait_window '^Tarvix DNM$')
[ -n "$wid" ] || fail "a second notice held the start"
leave_menu "$wid"
expect_exit 0

# Only the first 7 characters of the version are compared.
new_case version-with-suffix gamedata.dat times.ttf background.jpg
cp "$run_dir/tarvix.dat" tarvix.dat
name=$(dat -l tarvix.dat | awk '$1 == "-" { print $4; exit }')
dat -n0 tarvix.dat "$name" "ID  =0.26.16-beta" >/dev/null
run_to_test_view 16 640 480
expect_file_line log.txt "The End."

finish
