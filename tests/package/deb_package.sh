#!/usr/bin/env bash
# The Debian package as a user gets it: built with CPack, unpacked into a scratch root,
# and run from there with a fresh HOME. The rule base must be seeded into the user's data
# folder and every write must land there, never under the unpacked prefix.
set -euo pipefail
build=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb lintian desktop-file-validate appstreamcli man; do
  command -v "$tool" >/dev/null || fail "$tool is missing (make test installs it through scripts/setup test)"
done

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/out/qxconfig_*.deb)

echo "== control"
dpkg-deb -f "$deb" Depends > "$work/depends"
for lib in libqt6widgets6 libqt6svg6 libpugixml1v5 libcurl4 qt6-qpa-plugins; do
  grep -q "$lib" "$work/depends" || fail "Depends lacks $lib: $(cat "$work/depends")"
done

echo "== lintian"
lintian --tag-display-limit 0 "$deb" > "$work/lintian" 2>&1 || true
cat "$work/lintian"
! grep -q '^E: ' "$work/lintian" || fail "lintian reports errors"

root=$work/root
dpkg-deb -x "$deb" "$root"
prefix=$root/usr
for f in bin/qxconfig bin/qxconfig-cli share/qxconfig/rules.xml share/qxconfig/menu.xml \
  share/qxconfig/FS1-CONFIG.TXT share/qxconfig/FS2-CONFIG.TXT share/applications/qxconfig.desktop \
  share/icons/hicolor/scalable/apps/qxconfig.svg share/metainfo/com.quarrix.qxconfig.metainfo.xml \
  share/mime/packages/qxconfig.xml share/man/man1/qxconfig.1.gz share/man/man1/qxconfig-cli.1.gz \
  share/bash-completion/completions/qxconfig-cli share/doc/qxconfig/copyright; do
  [ -e "$prefix/$f" ] || fail "the package lacks usr/$f"
done

echo "== desktop entry, AppStream, man pages"
desktop-file-validate "$prefix/share/applications/qxconfig.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/com.quarrix.qxconfig.metainfo.xml"
for page in qxconfig qxconfig-cli; do
  MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" > "$work/$page.txt" 2> "$work/$page.err"
  [ ! -s "$work/$page.err" ] || { cat "$work/$page.err"; fail "man reports problems in $page.1"; }
  grep -q 'QXCONFIG_HOME' "$work/$page.txt" || fail "$page.1 does not explain the data folder"
done
grep -q 'scan-modules' "$work/qxconfig-cli.txt" || fail "qxconfig-cli.1 lacks the subcommands"
grep -q -- '--into' "$work/qxconfig-cli.txt" || fail "qxconfig-cli.1 lacks the subcommands' options"

find "$root" -printf '%P %s %T@ %m\n' | sort > "$work/tree.before"
home=$work/home
mkdir "$home"
run() { env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u QXCONFIG_HOME HOME="$home" "$@"; }
data=$home/.local/share/qxconfig

echo "== qxconfig-cli --version"
run "$prefix/bin/qxconfig-cli" --version > "$work/version"
cat "$work/version"
grep -qx "qxconfig-cli [0-9.]*" <(head -1 "$work/version") || fail "no version line"
grep -qxF "Data folder: $data (user data folder)" "$work/version" || fail "not the user data folder"
grep -qxF "Seeded from: $prefix/share/qxconfig/rules.xml" "$work/version" || fail "not seeded from the install"
cmp -s "$data/rules.xml" "$prefix/share/qxconfig/rules.xml" || fail "the seeded rule base differs"
sum=$(sha256sum "$data/rules.xml" | cut -d' ' -f1)
grep -qxF "Rule base SHA-256: $sum" "$work/version" || fail "wrong checksum"
date=$(sed -n 's/.*<rules date="\([^"]*\)".*/\1/p' "$data/rules.xml")
grep -qxF "Rule base date: $date" "$work/version" || fail "wrong date"
run "$prefix/bin/qxconfig-cli" --version | grep -q "Seeded from" && fail "seeded a second time"

echo "== analyze and scan-modules --into"
run "$prefix/bin/qxconfig-cli" analyze "$prefix/share/qxconfig/FS1-CONFIG.TXT" > "$work/analysis"
grep -q 'FS1' "$work/analysis" || fail "analyze printed no report"
mkdir "$work/mods"
{ head -c 200 /dev/zero | tr '\0' x; printf 'VeRsIoN#\x05\x00\x00\x00\x46\x00\x00\x00'
  printf '\x00\x00\x00\x00\xd4\x07\x00\x00\x03\x00\x00\x00\x05\x00\x00\x00Z'; } > "$work/mods/NEW.QXK"
before=$(sha256sum "$data/rules.xml")
run "$prefix/bin/qxconfig-cli" scan-modules "$work/mods" --into "product[@ID='1']/modules" > /dev/null
[ "$(sha256sum "$data/rules.xml")" != "$before" ] || fail "scan-modules --into did not write the data folder"
grep -q '<name>NEW.QXK</name>' "$data/rules.xml" || fail "no module rule in the data folder"

echo "== the desktop program, offscreen"
run env QT_QPA_PLATFORM=offscreen "$prefix/bin/qxconfig" --version | grep -qxF "Data folder: $data (user data folder)" ||
  fail "qxconfig --version"
run env QT_QPA_PLATFORM=offscreen timeout 120 "$prefix/bin/qxconfig" \
  --screenshot "$work/shots" "$prefix/share/qxconfig/FS1-CONFIG.TXT" > "$work/gui.log" 2>&1 ||
  { cat "$work/gui.log"; fail "the desktop program did not start"; }
[ -s "$work/shots/config-page.png" ] || fail "the desktop program showed no report"

echo "== bash completion"
words=$(bash -c 'source "$1"; COMP_WORDS=(qxconfig-cli ana); COMP_CWORD=1; _qxconfig_cli; echo "${COMPREPLY[*]}"' _ \
  "$prefix/share/bash-completion/completions/qxconfig-cli")
[ "$words" = analyze ] || fail "completion of 'ana' gave '$words'"

echo "== nothing written under the prefix"
find "$root" -printf '%P %s %T@ %m\n' | sort > "$work/tree.after"
diff "$work/tree.before" "$work/tree.after" || fail "files under the unpacked prefix changed"
[ -z "$(find "$home" -path "$home/.local/share/qxconfig" -prune -o -path "$home/.config" -prune -o -type f -print)" ] ||
  fail "files written outside the data and settings folders: $(find "$home" -type f)"
echo ok
