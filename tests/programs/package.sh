#!/usr/bin/env bash
# The Debian package: CPack builds it from the release build, it holds every installed file
# under /usr, its dependencies come from the programs' shared libraries, and it carries the
# maintainer scripts of its service.
set -u
source "$(dirname "$0")/installed-files.bash"
work_dir=$(mktemp -d)
failures=0
trap 'if [ "$failures" -eq 0 ]; then rm -rf "$work_dir"; else echo "kept for a look: $work_dir" >&2; fi' EXIT
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 0; }
done
cpack -G DEB --config "$KORVANE_BUILD/CPackConfig.cmake" -B "$work_dir" >"$work_dir/cpack.out" 2>&1 ||
  { cat "$work_dir/cpack.out" >&2; fail "cpack -G DEB failed"; exit 1; }
debs=("$work_dir"/korvane_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -s "${debs[0]}" ] || { fail "no single package: ${debs[*]}"; exit 1; }
deb=${debs[0]}

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./||' >"$work_dir/contents"
for f in "${installed_files[@]}"; do
  grep -Fxq "usr/$f" "$work_dir/contents" || fail "the package lacks /usr/$f"
done

dpkg-deb -x "$deb" "$work_dir/root"
# A link within /usr is relative, and from its installed place it reaches the system's font.
font=$(readlink "$work_dir/root/usr/share/games/korvane/times.ttf")
[[ "$font" == ../../fonts/* ]] && [ -e "$(realpath -m "/usr/share/games/korvane/$font")" ] ||
  fail "times.ttf is not a relative link to the system's font: $font"
# Compressed at the highest level with neither a file name nor a time in the header: flag
# byte 0, time 0, extra flags 2.
for f in share/man/man6/korvane.6.gz share/man/man6/korvaned.6.gz share/doc/korvane/changelog.gz; do
  [ "$(od -A n -t x1 -j 3 -N 6 "$work_dir/root/usr/$f" | tr -d ' ')" = 000000000002 ] ||
    fail "$f is not compressed with gzip -9n"
done
[[ "$(zcat "$work_dir/root/usr/share/doc/korvane/changelog.gz" | head -n 1)" == \
  "korvane ($(dpkg-deb -f "$deb" Version)) "* ]] || fail "the changelog does not start with this version"
grep -Fxq "ExecStart=/usr/games/korvaned --state %S/korvaned/state.kvs" \
  "$work_dir/root/usr/lib/systemd/system/korvaned.service" || fail "the unit does not run /usr/games/korvaned"
grep -Fxq "Exec=/usr/games/korvane" "$work_dir/root/usr/share/applications/korvane.desktop" ||
  fail "the desktop entry does not run /usr/games/korvane"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libc6 'liballegro4.4' libjpeg62-turbo libfreetype6 libloadpng4.4 fonts-; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section is not games"
for script in postinst prerm postrm; do
  dpkg-deb -I "$deb" "$script" >/dev/null 2>&1 || fail "the package has no $script"
done

# Debian's own checks, where lintian is installed. The project's licence is not settled yet,
# so the copyright file is missing on purpose.
if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$deb" >"$work_dir/lintian.out" 2>&1
  grep -E '^[EW]: ' "$work_dir/lintian.out" | grep -v ': no-copyright-file$' >"$work_dir/lintian.bad"
  [ -s "$work_dir/lintian.bad" ] && fail "lintian: $(head -n 5 "$work_dir/lintian.bad")"
fi

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
