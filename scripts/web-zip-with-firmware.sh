#!/usr/bin/env bash
# A web zip that offers firmware: the page of WEB_ZIP with a folder firmware/ beside it holding
# FIRMWARE_DIR/firmware.json and the images it lists. Refuses a list the page would not read
# whole, and an image missing or whose SHA-256 is not the one listed.
# Usage: scripts/web-zip-with-firmware.sh WEB_ZIP FIRMWARE_DIR OUT_ZIP
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 WEB_ZIP FIRMWARE_DIR OUT_ZIP" >&2; exit 64; }
web_zip=$(realpath "$1")
firmware=$(realpath "$2")
out=$(realpath -m "$3")
fail() { echo "web-zip-with-firmware: $*" >&2; exit 1; }

# Each image as "SHA-256  file", as sha256sum checks it; the same rules as the page's.
listed=$(node --input-type=module -e '
  import { readFileSync } from "node:fs";
  const refuse = (why) => { console.error(`web-zip-with-firmware: ${process.argv[1]}: ${why}`); process.exit(1); };
  let images;
  try {
    ({ images } = JSON.parse(readFileSync(process.argv[1], "utf8")));
  } catch (error) {
    refuse(error.message);
  }
  if (!Array.isArray(images) || images.length === 0) refuse("no images listed");
  for (const { file, version, sha256 } of images) {
    if (typeof file !== "string" || !/^[^/\\]+$/.test(file) || typeof version !== "string" ||
        !/^[0-9a-f]{64}$/.test(sha256)) {
      refuse(`not usable: ${JSON.stringify({ file, version, sha256 })}`);
    }
    console.log(`${sha256}  ${file}`);
  }' "$firmware/firmware.json")
(cd "$firmware" && sha256sum --quiet --check <<<"$listed" >&2) ||
  fail "an image of $firmware is missing or is not the one listed"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
unzip -q "$web_zip" -d "$stage"
mkdir "$stage/firmware"
cp "$firmware/firmware.json" "$stage/firmware/"
cut -c67- <<<"$listed" | while IFS= read -r file; do cp "$firmware/$file" "$stage/firmware/"; done
rm -f "$out"
(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | zip -X -q "$out" -@)
echo "$3"
