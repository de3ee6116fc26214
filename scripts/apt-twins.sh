#!/usr/bin/env bash
# For the foreign-architecture packages named (name:arch), prints `NAME VERSION` for every library
# they need whose twin of this machine's architecture is installed at another version than the
# foreign list can give: VERSION is the newest one both architectures' lists have. Packages marked
# Multi-Arch: same must be at one version in both architectures, and apt weighs only each list's
# newest; when one suite's index of one architecture could not be read, the two newest differ.
# Usage: scripts/apt-twins.sh PACKAGE...
set -euo pipefail

native=$(dpkg --print-architecture)
foreign=()
for package in "$@"; do
  [[ "$package" == *:* && "${package#*:}" != "$native" ]] && foreign+=("$package")
done
[ ${#foreign[@]} -gt 0 ] || exit 0
arch=${foreign[0]#*:}

# Everything they need, alternatives included, in the foreign architecture.
mapfile -t needed < <(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
  --no-breaks --no-replaces --no-enhances "${foreign[@]}" | sed -n "s/^\([^ <][^ ]*\):$arch\$/\1/p" |
  sort -u)
[ ${#needed[@]} -gt 0 ] || exit 0

# Their twins installed here and marked Multi-Arch: same, with their source package.
declare -A source
while read -r name from multi_arch status; do
  [ "$multi_arch" = same ] && [ "$status" = installed ] && source[$name]=$from
done < <(dpkg-query -W -f='${Package} ${source:Package} ${Multi-Arch} ${db:Status-Status}\n' \
  "${needed[@]/%/:$native}" 2>/dev/null || true)
names=("${!source[@]}")
[ ${#names[@]} -gt 0 ] || exit 0

# Every version each list offers, as `NAME ARCH VERSION`.
versions=$(apt-cache madison "${names[@]/%/:$arch}" "${names[@]/%/:$native}" |
  awk -F' *[|] *' '{ split($3, where, " "); sub(/^ */, "", $1); sub(/:.*/, "", $1)
                     print $1, where[length(where) - 1], $2 }' | sort -u)

newest() {
  local best='' version
  for version in "$@"; do
    if [ -z "$best" ] || dpkg --compare-versions "$version" gt "$best"; then best=$version; fi
  done
  echo "$best"
}

for name in "${names[@]}"; do
  mapfile -t theirs < <(awk -v n="$name" -v a="$arch" '$1 == n && $2 == a { print $3 }' <<<"$versions")
  mapfile -t ours < <(awk -v n="$name" -v a="$native" '$1 == n && $2 == a { print $3 }' <<<"$versions")
  mapfile -t both < <(printf '%s\n' "${theirs[@]}" | grep -Fxf <(printf '%s\n' "${ours[@]}") || true)
  [ -n "${both[0]:-}" ] || continue
  # apt takes each list's newest, and brings an installed twin to it too.
  if [ "$(newest "${theirs[@]}")" != "$(newest "${ours[@]}")" ]; then
    echo "src:${source[$name]} $(newest "${both[@]}")"
  fi
done | sort -u
