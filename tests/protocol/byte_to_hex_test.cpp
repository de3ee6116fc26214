#include "protocol/byte_to_hex.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(ByteToHex, WritesTwoUpperCaseDigitsAndNothingElse)
{
    for (int value = 0; value < 256; ++value) {
        char out[3] = {'x', 'x', 'x'};
        ByteToHex(uint8_t(value), out);
        char expected[3];
        std::snprintf(expected, sizeof expected, "%02X", value);
        EXPECT_EQ(std::string(out, 2), std::string(expected, 2));
        EXPECT_EQ(out[2], 'x');
    }
}
