#!/usr/bin/env bash
# analyze --jobs asks for more workers than the system will start: it goes on with those
# it got instead of aborting.
set -euo pipefail
cli=$1
src=$2
. "$src/tests/support/cli_lib.sh"
mkdir "$work/many"
for i in $(seq 150); do report "$work/many/r$i.txt" "FS$i"; done
"$cli" analyze "$work/many" > "$work/expected"
# Address space for the program and a few dozen thread stacks, not for 1024. A sanitizer
# build needs far more address space than any limit leaves, so it is not tried there.
if (ulimit -v 300000 && "$cli" --version) > /dev/null 2>&1; then
  set +e
  # glibc reserves 64 MB of address space per malloc arena: with two arenas the limit falls
  # on thread stacks, as a process limit would, rather than on memory.
  (ulimit -v 300000; export MALLOC_ARENA_MAX=2; exec timeout 60 "$cli" analyze --jobs 1024 "$work/many") > "$work/out" 2> "$work/err"
  rc=$?
  set -e
  expect_rc "analyze --jobs 1024 under an address-space limit" 0
  grep -q terminate "$work/err" && fail "aborted: $(cat "$work/err")"
  cmp -s "$work/out" "$work/expected" || fail "the results differ from a run without the limit"
fi
finish
