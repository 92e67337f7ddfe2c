#!/usr/bin/env bash
# compare: clipboard text with the servers' names, JSON that parses, and a refused type.
set -euo pipefail
cli=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sample="$src/examples/FS1-CONFIG.TXT"
sed 's/^Current Cache Buffers\.*: .*/Current Cache Buffers.......................: 99/' "$sample" > "$work/OTHER.TXT"

"$cli" compare "$sample" "$work/OTHER.TXT" > "$work/out.tsv"
head -1 "$work/out.tsv" | grep -q $'\tFS1\tFS1\r$'
grep -Eq $'\tCurrent Cache Buffers\t[0-9]+\t99\r$' "$work/out.tsv"

"$cli" compare "$sample" "$work/OTHER.TXT" --types serverparams --format json > "$work/out.json"
python3 -m json.tool "$work/out.json" > /dev/null
python3 - "$work/out.json" "$sample" <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
assert d["schema"] == "qxconfig/1" and d["type"] == "compare", d
assert d["base"]["file"] == sys.argv[2] and d["base"]["server"] == "FS1"
assert len(d["servers"]) == 1 and d["servers"][0]["server"] == "FS1"
lines = {l["name"]: l for l in d["lines"]}
assert lines["Current Cache Buffers"]["status"] == "not_equal", lines["Current Cache Buffers"]
assert lines["Original Cache Buffers"]["status"] == "equal"
assert all(len(l["values"]) == 2 for l in d["lines"])
statuses = {n["path"]: n["status"] for n in d["tree"]}
assert "not_equal" in statuses.values(), statuses
assert set(statuses.values()) <= {"not_compared", "equal", "not_equal"}, statuses
assert len(d["rule_base"]["sha256"]) == 64
PY

if "$cli" compare "$sample" "$work/OTHER.TXT" --types nonsense > /dev/null 2>&1; then
  echo "unknown type accepted"; exit 1
fi
if "$cli" compare "$sample" > /dev/null 2>&1; then
  echo "a comparison without another server was accepted"; exit 1
fi
