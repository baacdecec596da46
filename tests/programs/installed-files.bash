# Every file an install puts under its prefix (sourced; not a test itself).
installed_files=(
  games/korvane
  games/korvaned
  share/games/korvane/tarvix.dat
  share/games/korvane/gamedata.dat
  share/games/korvane/background.jpg
  share/games/korvane/title1.png
  share/games/korvane/return.png
  share/games/korvane/times.ttf
  share/applications/korvane.desktop
  share/man/man6/korvane.6.gz
  share/man/man6/korvaned.6.gz
  share/doc/korvane/changelog.gz
  lib/systemd/system/korvaned.service
)
icon_sizes=(16 32 48 64 128 256)
for size in "${icon_sizes[@]}"; do
  installed_files+=("share/icons/hicolor/${size}x${size}/apps/korvane.png")
done
