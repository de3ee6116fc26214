#!/usr/bin/env bash
# Writes the largest image the tool takes, 65,535 bytes: 257 records of 255 bytes, each a 4-byte
# load address and 247 code bytes, as upper-case hex pairs with CR LF line ends.
# Usage: scripts/guest/make-largest-image.sh OUTPUT
set -euo pipefail
awk 'BEGIN {
  srand(20261207)
  address = 134234112   # 0x08004000
  count = 0
  for (record = 0; record < 257; record++) {
    length_field = 253
    payload[0] = int(address / 16777216) % 256; payload[1] = int(address / 65536) % 256
    payload[2] = int(address / 256) % 256; payload[3] = address % 256
    for (i = 4; i < 251; i++) payload[i] = int(rand() * 256)
    sum = 0
    for (i = 0; i < 251; i++) sum += payload[i]
    checksum = (65536 - sum % 65536) % 65536
    emit(int(length_field / 256)); emit(length_field % 256)
    for (i = 0; i < 251; i++) emit(payload[i])
    emit(checksum % 256); emit(int(checksum / 256))
    address += 247
  }
  if (count % 32 != 0) printf "\r\n"
}
function emit(byte) {
  printf "%02X%s", byte, (++count % 32 == 0) ? "\r\n" : " "
}' > "$1"
