#!/usr/bin/env bash
# FIFOs, devices, folders and symbolic link loops, as inputs and as outputs: nothing blocks,
# nothing loops, nothing that is not a regular file is replaced by one.
set -euo pipefail
cli=$1
src=$2
. "$src/tests/support/cli_lib.sh"
report "$work/r.txt"
mkfifo "$work/fifo.txt"

# A FIFO named as a report is refused at once, by name.
for cmd in analyze report qxs; do
  run 10 "$cli" "$cmd" "$work/fifo.txt"
  expect_rc "$cmd of a FIFO" 2
  expect_err "$cmd of a FIFO" "fifo.txt.*not a regular file"
done
run 10 "$cli" save-xml "$work/fifo.txt" "$work/o.xml"
expect_rc "save-xml of a FIFO" 2
# A folder or FIFO as rule base or localisation table is named, not "std::bad_alloc".
mkdir "$work/dir.xml"
for opt in --rules --menu; do
  for bad in "$work/dir.xml" "$work/fifo.txt"; do
    run 10 "$cli" analyze "$work/r.txt" "$opt" "$bad"
    if grep -q bad_alloc "$work/err"; then fail "$opt $(basename "$bad"): $(cat "$work/err")"; fi
    expect_err "$opt $(basename "$bad")" "$(basename "$bad").*(not a regular file|folder)"
  done
done

# A FIFO named *.TXT does not block a folder scan; link loops are visited once.
mkdir -p "$work/scan/sub"
report "$work/scan/sub/a.txt"
mkfifo "$work/scan/sub/pipe.TXT"
ln -s . "$work/scan/sub/loop1"
ln -s . "$work/scan/sub/loop2"
ln -s .. "$work/scan/sub/up"
run 20 "$cli" analyze "$work/scan"
expect_rc "folder with a FIFO and link loops" 0
[ "$(grep -c '^File:' "$work/out")" -eq 1 ] || fail "the report was listed $(grep -c '^File:' "$work/out") times"

# Outputs: a FIFO is written into, a link keeps pointing at its target.
mkfifo "$work/out.fifo"
timeout 10 cat "$work/out.fifo" > "$work/from-fifo" &
reader=$!
run 10 "$cli" report "$work/r.txt" -o "$work/out.fifo"
expect_rc "report into a FIFO" 0
wait "$reader" || true
[ -p "$work/out.fifo" ] || fail "the FIFO was replaced"
"$cli" report "$work/r.txt" > "$work/expected"
cmp -s "$work/from-fifo" "$work/expected" || fail "the FIFO did not receive the report"
ln -s /dev/null "$work/null"
run 10 "$cli" qxs "$work/r.txt" -o "$work/null"
expect_rc "qxs into a link to /dev/null" 0
[ -L "$work/null" ] && [ "$(readlink "$work/null")" = /dev/null ] || fail "the link to /dev/null was replaced"
[ -c /dev/null ] || fail "/dev/null is no longer a device"
printf 'old' > "$work/target.tsv"
ln -s target.tsv "$work/link.tsv"
run 10 "$cli" report "$work/r.txt" -o "$work/link.tsv"
expect_rc "report into a link" 0
[ -L "$work/link.tsv" ] || fail "the link was replaced by a file"
cmp -s "$work/target.tsv" "$work/expected" || fail "the link's target was not written"
run 10 "$cli" report "$work/r.txt" -o "$work/dir.xml"
expect_rc "report into a folder" 2
expect_err "report into a folder" "dir.xml"

# save-xml writes its three files as a set, and never over its own input.
"$cli" save-xml "$work/r.txt" "$work/set.xml"
cp "$work/set.xml" "$work/set.before"
rm "$work/set.xml.xmlr.xml"
mkdir "$work/set.xml.xmlr.xml"
report "$work/r2.txt" FS2
run 10 "$cli" save-xml "$work/r2.txt" "$work/set.xml"
expect_rc "save-xml with one unwritable file" 2
cmp -s "$work/set.xml" "$work/set.before" || fail "save-xml replaced part of the set"
cp "$work/set.before" "$work/self.xml"
run 10 "$cli" save-xml "$work/self.xml" "$work/self.xml"
expect_rc "save-xml onto its own input" 2
expect_err "save-xml onto its own input" "self.xml"
cmp -s "$work/self.xml" "$work/set.before" || fail "save-xml overwrote its own input"

# Standard output that cannot be written is an error with a message.
for args in "analyze $work/r.txt" "report $work/r.txt" "qxs $work/r.txt" "compare $work/r.txt $work/r.txt" \
            "scan-modules $work/scan"; do
  set +e
  timeout 10 "$cli" $args > /dev/full 2> "$work/err"
  rc=$?
  set -e
  expect_rc "${args%% *} > /dev/full" 2
  expect_err "${args%% *} > /dev/full" "^qxconfig-cli: cannot write standard output: "
done
finish
