#!/usr/bin/env bash
# scan-modules prints the rows last-met-first and adds them as module rules to the one
# modules list --into selects.
set -euo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
module() {  # FILE MAJOR MINOR: a module file with a version block after 200 filler bytes
  { head -c 200 /dev/zero | tr '\0' x
    printf 'VeRsIoN#'
    printf "\\x$(printf %02x "$2")\\x00\\x00\\x00\\x$(printf %02x "$3")\\x00\\x00\\x00"
    printf '\x00\x00\x00\x00\xd4\x07\x00\x00\x03\x00\x00\x00\x05\x00\x00\x00Z'
  } > "$1"
}
mkdir -p "$work/mods/a"
module "$work/mods/a/b.qxk" 5 70
module "$work/mods/z.Ham" 1 9
printf 'ignored' > "$work/mods/readme.txt"
"$cli" scan-modules "$work/mods" > "$work/out"
expected=$(printf 'QXK\tVersion\tDate\tQXK Fullname\nZ.HAM\tv1.09\tMar.05,2004\t%s\nB.QXK\tv5.70\tMar.05,2004\t%s' \
  "$work/mods/z.Ham" "$work/mods/a/b.qxk")
if [ "$(cat "$work/out")" != "$expected" ]; then
  echo "unexpected rows:"; cat "$work/out"; echo "expected:"; echo "$expected"; exit 1
fi

printf '<?xml version="1.0"?>\n<rules date="01 02 2026"><productgroup name="G"><modules name="Modules"/></productgroup><product ID="1"><modules name="M"/></product></rules>\n' > "$work/rules.xml"
cp "$work/rules.xml" "$work/rules.before"
set +e
"$cli" scan-modules "$work/mods" --rules "$work/rules.xml" --into modules > /dev/null 2> "$work/err"
rc=$?
set -e
[ $rc -eq 2 ] || { echo "two matches: exit $rc"; exit 1; }
grep -q "selects 2 nodes" "$work/err" || { echo "no clear error:"; cat "$work/err"; exit 1; }
cmp -s "$work/rules.xml" "$work/rules.before" || { echo "rule base changed on error"; exit 1; }

"$cli" scan-modules "$work/mods" --rules "$work/rules.xml" --into "productgroup[@name='G']/modules" > /dev/null
grep -q '<name>Z.HAM</name>' "$work/rules.xml" || { echo "no Z.HAM rule"; cat "$work/rules.xml"; exit 1; }
[ "$(grep -o '<version_condition>&gt;=</version_condition>' "$work/rules.xml" | wc -l)" -eq 2 ] || { echo "wrong rule count"; exit 1; }
ls "$work" | grep -q tmp && { echo "temporary file left"; exit 1; }
echo ok
