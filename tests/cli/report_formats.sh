#!/usr/bin/env bash
# report: the server report as text, JSON that parses, node lists, an offline HTML page,
# and a clear failure for an unknown node.
set -euo pipefail
cli=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sample="$src/examples/FS1-CONFIG.TXT"

"$cli" report "$sample" > "$work/report.txt"
# 11 columns: every line has 11 tabs, ends in a tab and "\n" (no CR).
awk -F'\t' 'NF != 12 { print "line " NR " has " NF-1 " tabs"; bad=1 } END { exit bad }' "$work/report.txt"
! grep -q $'\r' "$work/report.txt"
grep -q $'^Timesync active\tYes\t' "$work/report.txt"

"$cli" report "$sample" --format json -o "$work/report.json"
python3 -m json.tool "$work/report.json" > /dev/null
python3 - "$work/report.json" <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
assert d["schema"] == "qxconfig/1" and d["type"] == "list" and d["node"] == "report", d
assert len(d["columns"]) == 11, d["columns"]
assert all({"mark", "icon", "cells", "messages"} <= set(r) for r in d["rows"])
assert all(len(c) <= (200 if i < 3 else 500) for r in d["rows"] for i, c in enumerate(r["cells"]))
assert {r["mark"] for r in d["rows"]} - {None} <= {"good", "bad", "information", "not_checked", "error"}
PY
# A Report-page list: rows that stand for a finding carry it, with its rule.
"$cli" report "$sample" --node check --format json | python3 -c '
import json, sys
d = json.load(sys.stdin)
found = [r["finding"] for r in d["rows"] if "finding" in r]
assert found and all(r["finding"]["mark"] == r["mark"] for r in d["rows"] if r.get("finding", {}).get("value") == "present")
assert all(f["rule"]["key"] and f["kind"] == "product" for f in found), found[0]
'

for node in details summary check volumes interrupts filter:Timesync; do
  "$cli" report "$sample" --node "$node" --format json | python3 -m json.tool > /dev/null
done
"$cli" report "$sample" --node summary | head -1 | grep -q $'\t'

if "$cli" report "$sample" --node no-such-node > /dev/null 2> "$work/err"; then
  echo "unknown node accepted"; exit 1
fi
grep -q "no node" "$work/err"

"$cli" report "$sample" --format html -o "$work/report.html"
grep -q '<!DOCTYPE html>' "$work/report.html"
grep -q '@media print' "$work/report.html"
# Self-contained: no external scripts, styles, fonts or images.
if grep -Eiq '<script|<link|src=|url\(|@import' "$work/report.html"; then
  echo "the HTML page refers to external files"; exit 1
fi
