#!/usr/bin/env bash
# save-xml writes three files; the configuration tree reloads through the .XML path and
# saves byte-identically, for every bundled example and test report.
set -euo pipefail
cli=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
shopt -s nullglob
for report in "$src"/examples/*.TXT "$src"/examples/*.txt "$src"/tests/data/*.txt "$src"/tests/data/*.TXT; do
  base=$(basename "$report")
  "$cli" save-xml "$report" "$work/$base.first.xml"
  for f in "$work/$base.first.xml" "$work/$base.first.xml.xml" "$work/$base.first.xml.xmlr.xml"; do
    [ -s "$f" ] || { echo "missing output $f"; status=1; }
  done
  "$cli" save-xml "$work/$base.first.xml" "$work/$base.second.xml"
  if ! cmp -s "$work/$base.first.xml" "$work/$base.second.xml"; then
    echo "round trip changed the tree of $base"
    diff "$work/$base.first.xml" "$work/$base.second.xml" | head -20
    status=1
  fi
done
exit $status
