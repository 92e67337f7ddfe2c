#!/usr/bin/env bash
# The documentation runs as written: every qxconfig-cli command in the shell examples of
# README.md and docs/rules.md succeeds on the bundled files, each worked example of
# docs/rules.md finds what the guide says it finds, and the guide names every element the
# bundled rule base uses.
set -euo pipefail
cli=$(realpath "$1")
src=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
squeeze() { tr -s ' \t' '  ' | sed 's/^ //; s/ $//'; }

# A scratch copy of what the examples name, and a data folder of its own.
mkdir -p "$work/bin" "$work/data"
ln -s "$cli" "$work/bin/qxconfig-cli"
cp -r "$src/examples" "$work/examples"
cp "$src/resources/rules.xml" "$work/data/rules.xml"
cp "$src/resources/rules.xml" "$work/my-rules.xml"

echo "== shell examples"
count=0
for doc in README.md docs/rules.md; do
  # Lines of ```sh blocks that start with the program's name.
  awk '/^```/ { inside = ($0 == "```sh"); next } inside && /^qxconfig-cli / { print }' "$src/$doc" \
    > "$work/commands"
  while IFS= read -r line; do
    count=$((count + 1))
    (cd "$work" && PATH="$work/bin:$PATH" QXCONFIG_HOME="$work/data" bash -o pipefail -c "$line") \
      > "$work/out" 2> "$work/err" < /dev/null || { cat "$work/err"; fail "$doc: $line"; }
  done < "$work/commands"
done
[ "$count" -ge 5 ] || fail "only $count command examples found"

echo "== worked examples of docs/rules.md"
mkdir "$work/ex"
awk -v dir="$work/ex" '
  /^<!-- example / { n++; report = $3; print report > (dir "/" n ".report"); want = "xml"; next }
  want == "xml" && $0 == "```xml" { mode = "xml"; next }
  want == "text" && $0 == "```text" { mode = "text"; next }
  mode != "" && $0 == "```" { want = (mode == "xml") ? "text" : ""; mode = ""; next }
  mode == "xml" { print > (dir "/" n ".xml") }
  mode == "text" { print > (dir "/" n ".expected") }
' "$src/docs/rules.md"
examples=0
for xml in "$work"/ex/*.xml; do
  n=${xml%.xml}
  examples=$((examples + 1))
  [ -s "$n.expected" ] || fail "example $(basename "$n") has no expected result"
  { printf '<?xml version="1.0" encoding="UTF-8"?>\n<rules date="01 01 2027">\n'; cat "$xml"; printf '</rules>\n'; } \
    > "$work/rules.xml"
  "$cli" analyze --rules "$work/rules.xml" "$work/examples/$(cat "$n.report")" 2>&1 | squeeze > "$work/found" ||
    fail "example $(basename "$n"): analyze failed: $(cat "$work/found")"
  while IFS= read -r want; do
    want=$(printf '%s' "$want" | squeeze)
    grep -qF -- "$want" "$work/found" || { cat "$work/found"; fail "example $(basename "$n"): no line with '$want'"; }
  done < "$n.expected"
done
[ "$examples" -ge 12 ] || fail "only $examples worked examples found"

echo "== every element of the bundled rule base is described"
for name in $(grep -o '<[a-z][a-z_-]*' "$src/resources/rules.xml" | tr -d '<' | sort -u); do
  grep -qF -- "\`$name\`" "$src/docs/rules.md" || fail "docs/rules.md does not describe <$name>"
done
echo ok
