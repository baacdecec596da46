#!/bin/bash
# The data files in the run folder: every object at its position with its properties,
# read back with Allegro's dat tool; the optional files in their formats.
set -uo pipefail
run="${KORVANE_BUILD:?}/run"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect() { [ "$2" == "$3" ] || fail "$1: expected '$3', got '$2'"; }

# dat -v -l as tab-separated records: "O path type size" and "P path id value".
listing() {
  dat -v -l "$1" | awk '
    /^- / { split($0, f, " - "); type = f[1]; sub(/^- /, "", type); gsub(/ /, "", type)
            path = f[2]; gsub(/ +$/, "", path); size = ""
            if (match(f[3], /[0-9]+x[0-9]+/)) size = substr(f[3], RSTART, RLENGTH)
            printf "O\t%s\t%s\t%s\n", path, type, size }
    /^  \. / { id = substr($0, 5, 4); value = substr($0, 10); gsub(/^'\''|'\''$/, "", value)
               printf "P\t%s\t%s\t%s\n", path, id, value }'
}
# The n-th (from 0) object whose path has the given parent ("" for the top level).
object() { awk -F'\t' -v parent="$2" -v n="$3" '$1 == "O" {
             p = $2; sub(/\/[^\/]*$/, "", p); if ($2 !~ /\//) p = ""
             if (p == parent && k++ == n) { print $2 "\t" $3 "\t" $4; exit } }' "$1"; }
count() { awk -F'\t' -v parent="$2/" '$1 == "O" && index($2, parent) == 1' "$1" | wc -l; }
prop() { awk -F'\t' -v path="$2" -v id="$3" '$1 == "P" && $2 == path && $3 == id { print $4; found = 1 }
           END { if (!found) print "<absent>" }' "$1"; }

tarvix=$(mktemp) gamedata=$(mktemp)
trap 'rm -f "$tarvix" "$gamedata"' EXIT
listing "$run/tarvix.dat" >"$tarvix" || fail "dat cannot list tarvix.dat"
listing "$run/gamedata.dat" >"$gamedata" || fail "dat cannot list gamedata.dat"
field() { cut -f"$1" <<<"$2"; }
bytes() { od -An -tx1 -j"$2" -N"$3" "$1" | tr -d ' \n'; }

# tarvix.dat: version, two fonts, six toolbar icons, the JPEG panel texture.
expect "tarvix.dat object 0 version" "$(prop "$tarvix" "$(field 1 "$(object "$tarvix" "" 0)")" "ID  ")" "0.26.16"
fonts=$(object "$tarvix" "" 1)
expect "tarvix.dat object 1 type" "$(field 2 "$fonts")" FILE
for i in 0 1; do
  expect "tarvix.dat font $i type" "$(field 2 "$(object "$tarvix" "$(field 1 "$fonts")" $i)")" FONT
done
grep -q "mono font, 1 range, 95 glyphs" <(dat -l "$run/tarvix.dat") || fail "fonts are not mono fonts of 95 glyphs"
tools=$(object "$tarvix" "" 3)
expect "tarvix.dat object 3 type" "$(field 2 "$tools")" FILE
[ "$(count "$tarvix" "$(field 1 "$tools")")" -ge 6 ] || fail "fewer than six toolbar icons"
for i in 0 1 2 3 4 5; do
  expect "toolbar icon $i type" "$(field 2 "$(object "$tarvix" "$(field 1 "$tools")" $i)")" BMP
done
expect "panel texture type" "$(awk -F'\t' '$1 == "O" && $2 == "global_background1" { print $3 }' "$tarvix")" DATA
extracted=$(mktemp -d)
dat -e "$run/tarvix.dat" global_background1 -o "$extracted/" >/dev/null
expect "panel texture is a JPEG" "$(bytes "$extracted/global_background1" 0 3)" ffd8ff
rm -rf "$extracted"

# gamedata.dat: version, then terrains, buildings, units and icons with their counts.
expect "gamedata.dat object 0 version" "$(prop "$gamedata" "$(field 1 "$(object "$gamedata" "" 0)")" "ID  ")" "0.26.10"
declare -A numd
for i in 1 2 3 4; do
  table=$(field 1 "$(object "$gamedata" "" $i)")
  expect "gamedata.dat object $i type" "$(field 2 "$(object "$gamedata" "" $i)")" FILE
  numd[$i]=$(prop "$gamedata" "$table" NUMD)
  [[ "${numd[$i]}" =~ ^[0-9]+$ ]] || fail "object $i NUMD '${numd[$i]}' is not a number"
  [ "$i" -eq 4 ] || expect "object $i NUMD against its entries" "${numd[$i]}" "$(count "$gamedata" "$table")"
done
[ "${numd[1]}" -ge 10 ] || fail "fewer than 10 terrains"
[ "${numd[2]}" -ge 10 ] || fail "fewer than 10 buildings"
[ "${numd[3]}" -ge 2 ] || fail "fewer than 2 units"
icons_needed=$(( (numd[2] > numd[3] ? numd[2] : numd[3]) - 1 ))
[ "$(count "$gamedata" "$(field 1 "$(object "$gamedata" "" 4)")")" -ge "$icons_needed" ] || fail "fewer than $icons_needed icons"

terrains=$(field 1 "$(object "$gamedata" "" 1)")
for ((i = 0; i < numd[1]; i++)); do
  entry=$(object "$gamedata" "$terrains" $i)
  expect "terrain $i" "$(field 2 "$entry") $(field 3 "$entry")" "BMP 84x42"
done

# Each building and unit: every property, numbers as numbers, the picture spanning the
# footprint and height at 42 pixels per tile constant.
check_kinds() {
  local object=$1 count=$2 what=$3 table entry path id value x y z
  table=$(field 1 "$(object "$gamedata" "" "$object")")
  for ((i = 0; i < count; i++)); do
    entry=$(object "$gamedata" "$table" $i)
    path=$(field 1 "$entry")
    for id in XSIZ YSIZ ZSIZ "DAM " DSIZ MXHP "DEF " RANG FRAT BLCK; do
      value=$(prop "$gamedata" "$path" "$id")
      [[ "$value" =~ ^[0-9]+$ ]] || fail "$what $i property '$id' reads '$value'"
    done
    [ -n "$(prop "$gamedata" "$path" DESC | grep -v '<absent>')" ] || fail "$what $i has no DESC"
    x=$(prop "$gamedata" "$path" XSIZ) y=$(prop "$gamedata" "$path" YSIZ) z=$(prop "$gamedata" "$path" ZSIZ)
    [[ "$x$y$z" =~ ^[0-9]+$ ]] || continue
    expect "$what $i picture" "$(field 2 "$entry") $(field 3 "$entry")" \
      "BMP $(( (x + y) * 42 ))x$(( (x + y) * 21 + z * 42 ))"
  done
}
check_kinds 2 "${numd[2]}" building
check_kinds 3 "${numd[3]}" unit

# Units fire at least twice a second at 10 turns a second (one shot every FRAT + 1 turns)
# with a blast of radius 1 or 2.
units=$(field 1 "$(object "$gamedata" "" 3)")
for ((i = 1; i < numd[3]; i++)); do
  path=$(field 1 "$(object "$gamedata" "$units" $i)")
  frat=$(prop "$gamedata" "$path" FRAT) dsiz=$(prop "$gamedata" "$path" DSIZ)
  dam=$(prop "$gamedata" "$path" "DAM ") mxhp=$(prop "$gamedata" "$path" MXHP)
  { [ "$frat" -ge 1 ] && [ "$frat" -le 4 ]; } 2>/dev/null || fail "unit $i FRAT $frat"
  { [ "$dsiz" -ge 1 ] && [ "$dsiz" -le 2 ]; } 2>/dev/null || fail "unit $i DSIZ $dsiz"
  { [ "$dam" -gt 0 ] && [ "$mxhp" -gt 0 ]; } 2>/dev/null || fail "unit $i DAM $dam MXHP $mxhp"
done

# No grabber leftovers: no GrabberInfo object, no dates or source paths, no -1 sizes.
for listed in "$tarvix" "$gamedata"; do
  ! grep -q $'^O\t[^\t]*GrabberInfo' "$listed" || fail "GrabberInfo left in a data file"
  ! grep -qE $'^P\t[^\t]*\t(DATE|ORIG)\t' "$listed" || fail "DATE or ORIG left in a data file"
  ! grep -qE $'^P\t.*\t-1$' "$listed" || fail "a property reads -1"
done

# The optional files.
expect "times.ttf is TrueType" "$(bytes "$run/times.ttf" 0 4)" 00010000
expect "background.jpg is a JPEG" "$(bytes "$run/background.jpg" 0 3)" ffd8ff
for png in title1.png return.png; do
  expect "$png signature" "$(bytes "$run/$png" 0 8)" 89504e470d0a1a0a
  expect "$png has an alpha channel (RGBA)" "$(bytes "$run/$png" 25 1)" 06
done

[ "$failures" -eq 0 ] && echo "data files: all checks passed"
exit $((failures > 0))
