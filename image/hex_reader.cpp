#include "image/hex_reader.h"

static int HexDigitValue(int c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

static bool IsSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool ReadHexItem(FILE* file, uint8_t* value)
{
    int c = getc(file);
    while (IsSpace(c)) c = getc(file);
    int high = HexDigitValue(c);
    if (high < 0) return false;

    c = getc(file);
    int low = HexDigitValue(c);
    if (low < 0) {
        if (c != EOF) ungetc(c, file);
        *value = (uint8_t)high;
    } else {
        *value = (uint8_t)(high * 16 + low);
    }
    return true;
}
