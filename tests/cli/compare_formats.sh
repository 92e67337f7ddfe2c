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
python3 - "$work/out.json" <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
assert len(d["servers"]) == 1
lines = {l["name"]: l for l in d["lines"]}
assert lines["Current Cache Buffers"]["status"] == 10, lines["Current Cache Buffers"]
assert lines["Original Cache Buffers"]["status"] == 9
assert all(len(l["values"]) == 2 for l in d["lines"])
images = {n["path"]: n["image"] for n in d["tree"]}
assert "notequal" in images.values(), images
assert all(i in ("informations", "equal", "notequal") for i in images.values())
PY

if "$cli" compare "$sample" "$work/OTHER.TXT" --types nonsense > /dev/null 2>&1; then
  echo "unknown type accepted"; exit 1
fi
if "$cli" compare "$sample" > /dev/null 2>&1; then
  echo "a comparison without another server was accepted"; exit 1
fi
