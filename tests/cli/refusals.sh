#!/usr/bin/env bash
# Refused opens exit with status 2 and say why on stderr.
set -euo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
expect_refusal() {
  local what=$1 pattern=$2; shift 2
  set +e
  "$@" >"$work/out" 2>"$work/err"
  local rc=$?
  set -e
  if [ $rc -ne 2 ]; then echo "$what: exit $rc, expected 2"; cat "$work/err"; exit 1; fi
  if ! grep -q -- "$pattern" "$work/err"; then echo "$what: stderr lacks '$pattern'"; cat "$work/err"; exit 1; fi
}
printf 'no header here\n' > "$work/plain.txt"
printf 'Orvane File Server Configuration Report For Server: X\nby PORTAL.QXK v1\n' > "$work/portal.txt"
printf 'Orvane File Server Configuration Report For Server: X\n' > "$work/ok.txt"
printf '<rules><x></rules>' > "$work/bad-rules.xml"
expect_refusal "no header" "is not a server configuration report" "$cli" save-xml "$work/plain.txt" "$work/o.xml"
expect_refusal "portal" "Config files created by portal.qxk are currently not supported." "$cli" analyze "$work/portal.txt"
expect_refusal "missing file" "Cannot read" "$cli" analyze "$work/none.txt"
expect_refusal "no rules" "Rules.xml is needed for this application" "$cli" analyze --rules "$work/none.xml" "$work/ok.txt"
expect_refusal "bad rules" "Rules.xml is needed for this application" "$cli" analyze --rules "$work/bad-rules.xml" "$work/ok.txt"
"$cli" analyze "$work/ok.txt" > /dev/null
"$cli" --help | grep -q save-xml
echo ok
