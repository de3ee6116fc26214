#include "protocol/byte_to_hex.h"

void ByteToHex(uint8_t value, char* out)
{
    static const char digits[] = "0123456789ABCDEF";
    out[0] = digits[value >> 4];
    out[1] = digits[value & 0x0F];
}
