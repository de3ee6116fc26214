#pragma once

#include <stdint.h>

// Writes the two upper-case hex characters of `value` to out[0] and out[1]; no terminator.
void ByteToHex(uint8_t value, char* out);
