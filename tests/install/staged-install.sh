#!/usr/bin/env bash
# Installs the built tree into a staging directory (DESTDIR), moves the staged prefix elsewhere,
# and runs the installed programs from there with a clean environment (no TALVO_* or LD_*
# variable): talvo-sim creates and shows a key, talvo-sec packs and unpacks a file through the
# installed provider registry, and the installed talvo-tool's RUNPATH leads to the installed
# driver. Only paths relative to the programs can reach the moved files.
# Usage: staged-install.sh BUILD_DIR
set -euo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
prefix=$(cache_value CMAKE_INSTALL_PREFIX)
libdir=$(cache_value CMAKE_INSTALL_LIBDIR)

DESTDIR="$work/stage" cmake --install "$build" > "$work/install.log"
root="$work/moved"
mv "$work/stage$prefix" "$root"

fail() { echo "FAIL: $*" >&2; exit 1; }
installed() {
  env -i PATH=/usr/bin:/bin HOME="$work/home" LC_ALL=C.UTF-8 \
      ASAN_OPTIONS="${ASAN_OPTIONS:-}" LSAN_OPTIONS="${LSAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
      "$root/bin/$@"
}

for file in bin/talvo-tool bin/talvo-sec bin/talvo-stamp-cli bin/talvo-sim "$libdir/libTalvoDriver.so" \
            "$libdir/talvo/csp/libMeroCsp.so" "$libdir/talvo/csp/mero.csp" \
            share/applications/talvo-tool.desktop share/metainfo/com.talvo.tool.metainfo.xml \
            share/icons/hicolor/16x16/apps/talvo-tool.png share/icons/hicolor/64x64/apps/talvo-tool.png \
            share/man/man1/talvo-tool.1.gz share/man/man1/talvo-sec.1.gz share/man/man1/talvo-sim.1.gz \
            share/man/man1/talvo-stamp-cli.1.gz \
            share/doc/talvo-tool/copyright share/doc/talvo-key-simulator/changelog.gz; do
  [ -f "$root/$file" ] || fail "not installed: $file"
done
"$here/check-runpath.sh" "$root" > /dev/null || fail "a staged binary has a loose RUNPATH"
leaks=$(grep -rIl -- "$(cd "$build" && pwd)" "$root" || true)
[ -z "$leaks" ] || fail "staged files name the build tree: $leaks"

# The driver: the tool's RUNPATH, $ORIGIN expanded, holds the installed library.
runpath=$(LC_ALL=C readelf -d "$root/bin/talvo-tool" | sed -n 's/.*Library runpath: \[\(.*\)\]/\1/p')
[[ "$runpath" == '$ORIGIN/'* ]] || fail "talvo-tool's RUNPATH [$runpath] is not relative to the program"
[ -f "${runpath/\$ORIGIN/$root/bin}/libTalvoDriver.so" ] || fail "talvo-tool's RUNPATH [$runpath] misses the driver"

installed talvo-sim create --empty > "$work/create.log" 2>&1 || fail "talvo-sim create: $(cat "$work/create.log")"
installed talvo-sim show > "$work/show.log" 2>&1 || fail "talvo-sim show: $(cat "$work/show.log")"
grep -q "^Serial:" "$work/show.log" || fail "talvo-sim show printed no key: $(cat "$work/show.log")"
[ -d "$work/home/.local/share/talvo-sim" ] || fail "talvo-sim did not keep its key in the user's data directory"
installed talvo-stamp-cli seals > "$work/seals.log" 2>&1 || fail "talvo-stamp-cli seals: $(cat "$work/seals.log")"

head -c 5000 /dev/urandom > "$work/document.bin"
installed talvo-sec pack "$work/document.bin" "$work/document.sec" 2> "$work/pack.log" \
  || fail "talvo-sec pack: $(cat "$work/pack.log")"
installed talvo-sec unpack "$work/document.sec" "$work/unpacked.bin" 2> "$work/unpack.log" \
  || fail "talvo-sec unpack: $(cat "$work/unpack.log")"
cmp -s "$work/document.bin" "$work/unpacked.bin" || fail "the unpacked file differs from the packed one"

# And it was the staged registry entry that served: without it there is no provider.
mv "$root/$libdir/talvo/csp/mero.csp" "$work/mero.csp.away"
if installed talvo-sec pack "$work/document.bin" "$work/again.sec" 2> /dev/null; then
  fail "talvo-sec found a provider without the staged registry entry"
fi
echo "staged install under $root: talvo-sim and talvo-sec ran from relative paths only"
