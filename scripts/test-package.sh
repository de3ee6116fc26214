#!/usr/bin/env bash
# What users download, checked as they get it: each Windows zip (64-bit, 32-bit) holds the exe of
# its architecture, a console program, and a CR LF readme, and the exe has its manifest and version
# (read back from the file, and through Windows' own calls under Wine of its bits); the web zip
# holds the page and nothing else; the Debian package passes lintian, installs with apt, runs from
# the PATH and purges without a trace. SHA256SUMS verifies, no file
# names the build folder, a clean clone elsewhere builds the same bytes, and a release made with a
# certificate holds exes whose signatures verify against it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh build alsa mingw wine package
source scripts/lib.sh
version=$(project_version)
file_version=$version.0
deb=build/dist/tambrell-update_${version}_$(dpkg --print-architecture).deb

use_scratch_folder
fail() {
  echo "test-package: $*" >&2
  exit 1
}
# A clone below builds the last commit, which must be what is checked here.
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
  fail "the checkout differs from its last commit, which a clone would build: commit first"

# --- Each Windows zip: the exe of its architecture, its signature, its resources, its version as
# Windows reads it under Wine of its bits
windows_zip() {
  echo "build/dist/tambrell-update-$version-win$1.zip"
}
check_windows_zip() {
  local bits=$1 zip folder=$work/zip$1 exe kind
  zip=$(windows_zip "$bits")
  [ "$(unzip -Z1 "$zip" | sort)" = $'README.txt\ntambrell-update.exe' ] ||
    fail "$zip holds $(unzip -Z1 "$zip" | tr '\n' ' '), not exactly the exe and README.txt"
  mkdir "$folder"
  unzip -q "$zip" -d "$folder"
  exe=$folder/tambrell-update.exe
  perl -ne 'exit 1 unless /\r\n\z/' "$folder/README.txt" || fail "README.txt of $zip has a line without CR LF"
  kind=$(file -b "$exe")
  case "$bits:$kind" in
    "64:PE32+ executable (console) x86-64"*|"32:PE32 executable (console) Intel 80386"*) ;;
    *) fail "the exe of $zip is a $kind" ;;
  esac
  echo "win$bits zip: exactly the exe ($kind) and README.txt, which has CR LF line ends"

  osslsigncode verify -CAfile "$work/cert.pem" -in "$work/signed$bits.exe" >"$work/verify.txt" 2>&1 ||
    fail "the signed exe of $zip does not verify against its certificate:"$'\n'"$(cat "$work/verify.txt")"
  # Reproducible up to the signature: the signature taken over to the unsigned exe gives the same
  # bytes.
  osslsigncode extract-signature -in "$work/signed$bits.exe" -out "$work/signature$bits" >/dev/null
  osslsigncode attach-signature -sigin "$work/signature$bits" -CAfile "$work/cert.pem" -in "$exe" \
    -out "$work/attached$bits.exe" >/dev/null
  cmp -s "$work/attached$bits.exe" "$work/signed$bits.exe" ||
    fail "the signed exe of $zip is not the unsigned one with its signature"
  echo "signed win$bits exe: verifies against its certificate; it is the unsigned exe with the signature attached"

  local manifest version_strings value name probe expected
  manifest=$(wrestool -x --raw -t 24 "$exe" 2>/dev/null || true)
  grep -q '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' <<<"$manifest" ||
    fail "the win$bits exe's manifest does not ask to run as the invoker"
  [ "$(grep -c '<supportedOS Id=' <<<"$manifest")" -eq 5 ] ||
    fail "the win$bits exe's manifest does not name the five Windows versions from Vista to 11"
  version_strings=$(wrestool -x --raw -t 16 "$exe" 2>/dev/null | strings -el)
  for name in FileVersion ProductVersion; do
    value=$(grep -A1 -x "$name" <<<"$version_strings" | tail -n 1 || true)
    [ "$value" = "$file_version" ] || fail "the win$bits exe's $name is '$value', not $file_version"
  done
  echo "win$bits exe resources: manifest asInvoker on Vista to 11, FileVersion and ProductVersion $file_version"

  if [ "$bits" = 32 ] && ! runs_32bit_programs; then
    echo "win32 exe version under 32-bit Wine: not read, this machine's kernel runs no 32-bit programs"
    return 0
  fi
  scripts/build-windows-tests.sh "$bits" exe_version_probe
  use_wine_prefix "$bits"
  probe=$(cd "$folder" && timeout 60 "$wine" "$root/$(windows_build "$bits" wine)/tests/packaging/exe_version_probe.exe" \
    tambrell-update.exe </dev/null | tr -d '\r' || true)
  for expected in "fixed-file-version $file_version" "fixed-product-version $file_version" \
    "FileVersion $file_version" "ProductVersion $file_version" \
    "OriginalFilename tambrell-update.exe" "InternalName tambrell-update"; do
    grep -qxF "$expected" <<<"$probe" || fail "under $bits-bit Wine the exe's version lacks '$expected':"$'\n'"$probe"
  done
  for name in FileDescription LegalCopyright ProductName; do
    grep -q "^$name ." <<<"$probe" || fail "under $bits-bit Wine the exe has no $name"
  done
  echo "win$bits exe version under $bits-bit Wine (GetFileVersionInfoA, VerQueryValueA): $file_version"
}

# --- A release signed with a throwaway certificate; then the unsigned one that the rest checks
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=tambrell-update test signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
echo "a password" >"$work/password"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout "file:$work/password" \
  -out "$work/signer.p12"
TAMBRELL_SIGN_PKCS12=$work/signer.p12 TAMBRELL_SIGN_PASSWORD_FILE=$work/password \
  scripts/package.sh >/dev/null
for bits in 64 32; do
  unzip -q -p "$(windows_zip "$bits")" tambrell-update.exe >"$work/signed$bits.exe"
done
grep -q "are unsigned" <<<"$(scripts/package.sh)" || fail "package.sh does not say that the exes are unsigned"

# --- The web zip: the page as served, never the simulated controller of the tests and the demo
web_zip=build/dist/tambrell-update-$version-web.zip
page_files=$'HOSTING.md\napp.js\nconsole_view.js\nicon.svg\nindex.html\noffered_firmware.js\nstyle.css\ntambrell-update.js\ntambrell-update.wasm\nupdater.js\nwords.js'
[ "$(unzip -Z1 "$web_zip" | sort)" = "$page_files" ] ||
  fail "$web_zip holds $(unzip -Z1 "$web_zip" | tr '\n' ' '), not exactly the page's files"
echo "web zip: exactly the page, its scripts, its wasm and the hosting notes"

# --- A maker's web zip with the firmware it offers: the page and the firmware listed, nothing
# else; a list whose SHA-256 does not fit its image is refused
mkdir "$work/firmware"
cp examples/quillstrand_v1.2.kit "$work/firmware/"
sum=$(sha256sum examples/quillstrand_v1.2.kit | cut -d' ' -f1)
manifest() {
  printf '{"images": [{"file": "quillstrand_v1.2.kit", "version": "1.2", "sha256": "%s"}]}\n' "$1" \
    >"$work/firmware/firmware.json"
}
manifest "$(echo other | sha256sum | cut -d" " -f1)"
if scripts/web-zip-with-firmware.sh "$web_zip" "$work/firmware" "$work/offering.zip" 2>/dev/null; then
  fail "a firmware list whose SHA-256 does not fit its image was packed"
fi
manifest "$sum"
scripts/web-zip-with-firmware.sh "$web_zip" "$work/firmware" "$work/offering.zip" >/dev/null
[ "$(unzip -Z1 "$work/offering.zip" | sort)" = "$(printf '%s\nfirmware/firmware.json\nfirmware/quillstrand_v1.2.kit' "$page_files" | sort)" ] ||
  fail "the web zip with firmware holds $(unzip -Z1 "$work/offering.zip" | tr '\n' ' ')"
echo "web zip with firmware: the page, firmware.json and the image it lists; a wrong SHA-256 refused"

check_windows_zip 64
check_windows_zip 32

# --- The Debian package's contents and lintian
expected_files="./
./usr/
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
# Every warning left is explained in the packager's notes.
for tag in $(sed -n 's/^W: [^ ]* \([^ ]*\).*/\1/p' "$work/lintian.txt" | sort -u); do
  grep -qF "$tag" docs/packaging.md || fail "lintian's warning $tag is not explained in docs/packaging.md"
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
echo "sizes in bytes:$(sizes "$(windows_zip 64)" "$work/zip64/tambrell-update.exe" "$(windows_zip 32)" \
  "$work/zip32/tambrell-update.exe" "$deb" "$program" "$web_zip")" | sed 's/,$//'

# --- Checksums; no build path; the same bytes from a clean clone in a folder with a space
(cd build/dist && sha256sum --quiet --strict -c SHA256SUMS) || fail "build/dist/SHA256SUMS does not verify"
[ "$(cut -d ' ' -f 3 build/dist/SHA256SUMS)" = \
  "$(cd build/dist && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort)" ] ||
  fail "build/dist/SHA256SUMS does not list every release file"
mkdir "$work/web"
unzip -q "$web_zip" -d "$work/web"
named=$(grep -rlF "$root" "$work/zip64" "$work/zip32" "$work/web" "$work/deb" || true)
named+=$(strings -el "$work/zip64/tambrell-update.exe" "$work/zip32/tambrell-update.exe" | grep -F "$root" || true)
[ -z "$named" ] || fail "the build folder is named in $named"
echo "SHA256SUMS verifies and lists every release file; no file names the build folder"

clone="$work/a clone"
git clone -q --no-checkout "$root" "$clone"
git -C "$clone" checkout -q "$(git rev-parse HEAD)"
# Without the tests, which no package holds, the clone builds in a few minutes.
cmake -S "$clone" -B "$clone/build/native" -G Ninja -DTAMBRELL_TESTS=OFF >/dev/null
"$clone/scripts/package.sh" >/dev/null
cmp -s build/dist/SHA256SUMS "$clone/build/dist/SHA256SUMS" ||
  fail "a clone in $clone built other bytes:"$'\n'"$(diff build/dist/SHA256SUMS "$clone/build/dist/SHA256SUMS")"
echo "a clean clone in another folder, whose path holds a space, built the same bytes"

# --- The package installed with apt, run from the PATH, purged
apt_get() {
  DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=300 "$@" >"$work/apt.txt" 2>&1 ||
    { cat "$work/apt.txt" >&2; return 1; }
}
# The machine has one installed package: checkouts that test at the same time take turns.
exec 9>/tmp/tambrell-package-install.lock
flock 9
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
