#!/usr/bin/env bash
# What users download, checked as they get it: the exe from the zip has its manifest and version
# (read back from the file, and through Windows' own calls under Wine); the zip holds the exe and
# a CR LF readme; the web zip holds the page and nothing else; the Debian package passes lintian,
# installs with apt, runs from the PATH and purges without a trace.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh build alsa mingw wine package
scripts/package.sh >/dev/null
source scripts/lib.sh
version=$(project_version)
file_version=$version.0
zip=build/dist/tambrell-update-$version-win32.zip
deb=build/dist/tambrell-update_${version}_$(dpkg --print-architecture).deb

use_scratch_folder
fail() {
  echo "test-package: $*" >&2
  exit 1
}

# --- The zip
[ "$(unzip -Z1 "$zip" | sort)" = $'README.txt\ntambrell-update.exe' ] ||
  fail "$zip holds $(unzip -Z1 "$zip" | tr '\n' ' '), not exactly the exe and README.txt"
mkdir "$work/zip"
unzip -q "$zip" -d "$work/zip"
exe=$work/zip/tambrell-update.exe
perl -ne 'exit 1 unless /\r\n\z/' "$work/zip/README.txt" || fail "README.txt has a line without CR LF"
echo "zip: exactly the exe and README.txt, which has CR LF line ends"

# --- The web zip: the page as served, never the simulated controller of the tests and the demo
web_zip=build/dist/tambrell-update-$version-web.zip
page_files=$'app.js\nconsole_view.js\nindex.html\nstyle.css\ntambrell-update.js\ntambrell-update.wasm\nupdater.js\nwords.js'
[ "$(unzip -Z1 "$web_zip" | sort)" = "$page_files" ] ||
  fail "$web_zip holds $(unzip -Z1 "$web_zip" | tr '\n' ' '), not exactly the page's files"
echo "web zip: exactly the page, its scripts and its wasm"

# --- The exe's resources, read from the file
manifest=$(wrestool -x --raw -t 24 "$exe" 2>/dev/null || true)
grep -q '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' <<<"$manifest" ||
  fail "the exe's manifest does not ask to run as the invoker"
[ "$(grep -c '<supportedOS Id=' <<<"$manifest")" -eq 5 ] ||
  fail "the exe's manifest does not name the five Windows versions from Vista to 11"
version_strings=$(wrestool -x --raw -t 16 "$exe" 2>/dev/null | strings -el)
for name in FileVersion ProductVersion; do
  value=$(grep -A1 -x "$name" <<<"$version_strings" | tail -n 1 || true)
  [ "$value" = "$file_version" ] || fail "the exe's $name is '$value', not $file_version"
done
echo "exe resources: manifest asInvoker on Vista to 11, FileVersion and ProductVersion $file_version"

# --- The same version as Windows reads it, under 32-bit Wine
scripts/build-windows-tests.sh exe_version_probe
use_wine_prefix
probe=$(cd "$work/zip" && timeout 60 wine "$root/build/wine/tests/packaging/exe_version_probe.exe" \
  tambrell-update.exe </dev/null | tr -d '\r' || true)
for expected in "fixed-file-version $file_version" "fixed-product-version $file_version" \
  "FileVersion $file_version" "ProductVersion $file_version" \
  "OriginalFilename tambrell-update.exe" "InternalName tambrell-update"; do
  grep -qxF "$expected" <<<"$probe" || fail "under Wine the exe's version lacks '$expected':"$'\n'"$probe"
done
for name in FileDescription LegalCopyright ProductName; do
  grep -q "^$name ." <<<"$probe" || fail "under Wine the exe has no $name"
done
echo "exe version under Wine (GetFileVersionInfoA, VerQueryValueA): $file_version"

# --- The Debian package's contents and lintian
expected_files="./usr/
./usr/bin/
./usr/bin/tambrell-update
./usr/share/
./usr/share/doc/
./usr/share/doc/tambrell-update/
./usr/share/doc/tambrell-update/changelog.gz
./usr/share/doc/tambrell-update/copyright
./usr/share/man/
./usr/share/man/man1/
./usr/share/man/man1/tambrell-update.1.gz"
[ "$(dpkg-deb --fsys-tarfile "$deb" | tar -t | sort)" = "$expected_files" ] ||
  fail "$deb holds other files than the program and its documents:"$'\n'"$(dpkg-deb -c "$deb")"
[ "$(dpkg-parsechangelog -l packaging/debian/changelog -S Version)" = "$version" ] ||
  fail "packaging/debian/changelog has no entry for $version"
status=0
lintian --display-info --pedantic --fail-on error "$deb" >"$work/lintian.txt" 2>"$work/lintian-stderr.txt" ||
  status=$?
cat "$work/lintian.txt"
[ "$status" -eq 0 ] || fail "lintian failed (status $status): $(cat "$work/lintian-stderr.txt")"
# Every warning left is explained in the README.
for tag in $(sed -n 's/^W: [^ ]* \([^ ]*\).*/\1/p' "$work/lintian.txt" | sort -u); do
  grep -qF "$tag" README.md || fail "lintian's warning $tag is not explained in README.md"
done
echo "deb: exactly the program and its documents; lintian: no error"
# Hardened as Debian's own programs are: bound at start, stack canaries, checked print calls.
dpkg-deb -x "$deb" "$work/deb"
program=$work/deb/usr/bin/tambrell-update
grep -q 'FLAGS.*BIND_NOW' <<<"$(readelf -d "$program")" || fail "the program is not linked with -z now"
# Read whole first: grep -q leaving a pipe early would fail nm, and the pipeline with it.
symbols=$(nm -D "$program")
for symbol in __stack_chk_fail __printf_chk; do
  grep -q " $symbol@" <<<"$symbols" || fail "the program does not call $symbol: built without hardening"
done
echo "deb: the program is bound at start, with stack canaries and checked print calls"
# Printed here, so that no document carries sizes that go stale.
sizes() { for file in "$@"; do printf ' %s %s,' "${file##*/}" "$(stat -c %s "$file")"; done; }
echo "sizes in bytes:$(sizes "$zip" "$exe" "$deb" "$program" "$web_zip")" | sed 's/,$//'

# --- The package installed with apt, run from the PATH, purged
apt_get() {
  DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=300 "$@" >"$work/apt.txt" 2>&1 ||
    { cat "$work/apt.txt" >&2; return 1; }
}
apt_get install --reinstall --no-install-recommends "$root/$deb"
trap 'apt_get purge tambrell-update 2>/dev/null || true; finish' EXIT
installed=$(dpkg-query -L tambrell-update)
[ "$(command -v tambrell-update)" = /usr/bin/tambrell-update ] || fail "tambrell-update is not on the PATH"
[ "$(man -w tambrell-update)" = /usr/share/man/man1/tambrell-update.1.gz ] || fail "man finds no page"

banner="TAMBRELL Update V0.3 -> TAMBRELL quillstrand System"
# Both runs end in the image stage: exit status 1.
run_installed() {
  local case=$1 expected=$2 console
  mkdir "$work/$case"
  [ -n "${3:-}" ] && printf '%s' "$3" >"$work/$case/quillstrand_bad.kit"
  console=$(cd "$work/$case" && timeout 60 tambrell-update </dev/null; echo "status $?")
  [ "$console" = "$expected"$'\n'"status 1" ] ||
    fail "the installed tool in '$case' printed:"$'\n'"$console"$'\n'"--- expected:"$'\n'"$expected"
  echo "installed tool, $case: as expected"
}
run_installed no-image "$banner"$'\n'"Error: File '*.kit' is not found."$'\n'
run_installed bad-image "$banner"$'\n'"OK: File 'quillstrand_bad.kit' is open."$'\n'"Error: The upgrade file is error!"$'\n' \
  $'00 04 12 34 BA FE\r\n'

apt_get purge tambrell-update
trap finish EXIT
[ -z "$(dpkg-query -W -f='${db:Status-Status}' tambrell-update 2>/dev/null | grep -v not-installed)" ] ||
  fail "tambrell-update is still known to dpkg after the purge"
# What is left of the package's list must be folders that other packages own too.
while read -r path; do
  [ "$path" != /. ] && [ -e "$path" ] || continue
  [ -d "$path" ] && dpkg -S "$path" >/dev/null 2>&1 && continue
  fail "$path is left behind after the purge"
done <<<"$installed"
echo "apt purge left none of the package's files"
