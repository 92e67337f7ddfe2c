#!/usr/bin/env bash
# The exit-status table of --help and README, path by path: 0 ran, 1 findings at the
# --fail-on level, 2 any error, each error saying so in a message that starts "qxconfig-cli:".
set -euo pipefail
cli=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
sample="$src/examples/FS1-CONFIG.TXT"
rules=(--rules "$src/resources/rules.xml")

# expect STATUS WHAT COMMAND...: the status, and for 2 a first stderr line "qxconfig-cli: ..."
expect() {
  local want=$1 what=$2; shift 2
  set +e
  "$@" > "$work/out" 2> "$work/err" < /dev/null
  local rc=$?
  set -e
  [ $rc -eq "$want" ] || { fail "$what: exit $rc, expected $want"; sed 's/^/  /' "$work/err"; return 0; }
  if [ "$want" -eq 2 ]; then
    head -n1 "$work/err" | grep -q '^qxconfig-cli: ' || { fail "$what: message '$(head -n1 "$work/err")'"; }
  fi
  return 0
}

printf 'no header here\n' > "$work/plain.txt"
printf '<rules><x></rules>' > "$work/bad-rules.xml"
mkdir "$work/empty"

# The table itself.
"$cli" --help | grep -q '^Exit status:' || fail "--help has no exit-status table"
"$cli" analyze --help | grep -q '^  2  an error' || fail "a command's --help has no exit-status table"
grep -q '^| 2 | an error' "$src/README.md" || fail "README has no exit-status table"

# 0 and 1.
expect 0 "help" "$cli" --help
expect 0 "version" "$cli" --version
expect 0 "analyze without --fail-on" "$cli" analyze "${rules[@]}" "$sample"
expect 1 "--fail-on bad" "$cli" analyze "${rules[@]}" --fail-on bad "$sample"
expect 1 "--fail-on notchecked" "$cli" analyze "${rules[@]}" --fail-on error,notchecked "$sample"
expect 0 "--fail-on error" "$cli" analyze "${rules[@]}" --fail-on error "$sample"
expect 1 "fleet --fail-on bad" "$cli" fleet "${rules[@]}" --fail-on bad "$sample" -o "$work/fleet"
expect 0 "analyse alias" "$cli" analyse "${rules[@]}" "$sample"

# Usage errors: the usage line follows the message.
expect 2 "no command" "$cli"
expect 2 "unknown command" "$cli" analize "$sample"
grep -q 'did you mean "analyze"' "$work/err" || fail "no suggestion for analize"
expect 2 "unknown option" "$cli" analyze --bogus "$sample"
grep -q '^Usage: qxconfig-cli analyze ' "$work/err" || fail "no usage line: $(cat "$work/err")"
expect 2 "missing argument" "$cli" report
expect 2 "value not allowed" "$cli" analyze --format xml "$sample"
expect 2 "unknown --fail-on word" "$cli" analyze --fail-on worse "$sample"
expect 2 "fleet without -o" "$cli" fleet "$sample"
expect 2 "unknown compare type" "$cli" compare "$sample" "$sample" --types nonsense

# Inputs that cannot be read or are not reports.
expect 2 "missing report" "$cli" analyze "${rules[@]}" "$work/none.TXT"
expect 2 "not a report" "$cli" report "${rules[@]}" "$work/plain.txt"
expect 2 "folder without reports" "$cli" analyze "${rules[@]}" "$work/empty"
expect 2 "missing rule base" "$cli" qxs --rules "$work/none.xml" "$sample"
expect 2 "broken rule base" "$cli" compare --rules "$work/bad-rules.xml" "$sample" "$sample"
expect 2 "rules check" "$cli" rules check "$work/bad-rules.xml"
expect 2 "unknown node" "$cli" report "${rules[@]}" "$sample" --node no-such-node
expect 2 "fleet over a missing report" "$cli" fleet "${rules[@]}" "$work/none.TXT" -o "$work/fleet2"
expect 2 "scan-modules into nothing" "$cli" scan-modules "$work/empty" --rules "$work/bad-rules.xml" --into nothing

# Outputs that cannot be written.
expect 2 "-o into a missing folder" "$cli" report "${rules[@]}" "$sample" -o "$work/no/such/file"
expect 2 "save-xml into a missing folder" "$cli" save-xml "${rules[@]}" "$sample" "$work/no/such.xml"
expect 2 "fleet into a file" "$cli" fleet "${rules[@]}" "$sample" -o "$work/plain.txt"
if [ -w /dev/full ]; then
  expect 2 "a full standard output" sh -c '"$0" analyze --rules "$1" --format json "$2" > /dev/full' "$cli" \
    "$src/resources/rules.xml" "$sample"
  expect 2 "sarif to a full standard output" sh -c '"$0" analyze --rules "$1" --format sarif "$2" > /dev/full' "$cli" \
    "$src/resources/rules.xml" "$sample"
fi

# An update that does not complete.
expect 2 "update without a server" "$cli" update --url "ftp:///rules.xml" --program-dir "$work"

[ $failures -eq 0 ] || exit 1
echo ok
