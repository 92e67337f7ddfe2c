#!/usr/bin/env bash
# make run sets up only what building and running needs; the test, fuzz, benchmark and
# screenshot tools come with the larger set that make test installs.
set -euo pipefail
src=$2
run=$(bash "$src/scripts/setup" --list)
all=$(bash "$src/scripts/setup" --list test)
for p in clang libclang-rt-14-dev libgtest-dev googletest libbenchmark-dev xvfb imagemagick python3-pyftpdlib lintian; do
  ! grep -qx "$p" <<< "$run" || { echo "make run would install $p"; exit 1; }
  grep -qx "$p" <<< "$all" || { echo "make test would not install $p"; exit 1; }
done
for p in cmake qt6-base-dev libpugixml-dev libcurl4-openssl-dev help2man; do
  grep -qx "$p" <<< "$run" || { echo "make run would not install $p"; exit 1; }
done
grep -q -- '--target programs' <(sed -n '/^programs:/,/^$/p' "$src/Makefile") || { echo "make run builds more than the programs"; exit 1; }
grep -q '^run: programs' "$src/Makefile" || { echo "make run does not build the programs only"; exit 1; }
echo ok
