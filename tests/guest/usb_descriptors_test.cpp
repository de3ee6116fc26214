// The descriptor set as the kernel's USB audio driver walks it: a wrong length or jack link and
// the driver leaves the device alone, which only shows in the guest as a missing card.
#include "tools/usb-device/usb_descriptors.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

unsigned Word(const Bytes& bytes, size_t at) { return bytes[at] | bytes[at + 1] << 8; }

std::string Text(const Bytes& descriptor)
{
    std::string text;
    for (size_t i = 2; i + 1 < descriptor.size(); i += 2) text += char(descriptor[i]);
    return text;
}

TEST(UsbDescriptors, DescribeOneMidiInAndOutLinkedToTheirEndpoints)
{
    const Bytes device = DeviceDescriptor();
    ASSERT_EQ(device.size(), device[0]);
    EXPECT_EQ(Word(device, 8), TEST_VENDOR_ID);
    EXPECT_EQ(Text(*StringDescriptor(device[15], CONTROLLER_PRODUCT)), "quillstrand MIDI");
    const Bytes other = *StringDescriptor(device[15], "Keys 49");
    EXPECT_EQ(Text(other), "Keys 49");
    EXPECT_EQ(other[0], other.size());
    EXPECT_EQ(*StringDescriptor(0, "Keys 49"), (Bytes{4, 3, 0x09, 0x04}));
    EXPECT_FALSE(StringDescriptor(9, "Keys 49"));

    const Bytes config = ConfigurationDescriptor();
    ASSERT_EQ(Word(config, 2), config.size());
    // Walk it: every length must land on the next descriptor, and the end exactly.
    std::map<uint8_t, uint8_t> embeddedJacks;  // id -> 2 (IN) or 3 (OUT)
    std::map<uint8_t, uint8_t> endpointJack;   // endpoint address -> its jack id
    unsigned interfaces = 0, msHeaderTotal = 0, msBytes = 0;
    uint8_t endpoint = 0;
    size_t at = 0;
    while (at < config.size()) {
        const uint8_t length = config[at], type = config[at + 1];
        ASSERT_GE(length, 2);
        ASSERT_LE(at + length, config.size());
        const Bytes d(config.begin() + long(at), config.begin() + long(at + length));
        if (interfaces == 2 && type != 4) msBytes += length;
        if (type == 4) ++interfaces;
        if (type == 4 && d[2] == 1) {
            EXPECT_EQ(d[6], 0x03) << "interface 1 streams MIDI";
        }
        if (type == 0x24 && interfaces == 1 && d[2] == 1) {
            EXPECT_EQ(d[8], 1) << "the control interface names interface 1";
        }
        if (type == 0x24 && interfaces == 2 && d[2] == 1) msHeaderTotal = Word(d, 5);
        if (type == 0x24 && interfaces == 2 && d[2] != 1 && d[3] == 1) embeddedJacks[d[4]] = d[2];
        if (type == 5) {
            endpoint = d[2];
            EXPECT_EQ(d[3], 0x02) << "bulk";
            EXPECT_EQ(Word(d, 4), BULK_PACKET_SIZE);
        }
        if (type == 0x25) endpointJack[endpoint] = d[4];
        at += length;
    }
    EXPECT_EQ(interfaces, config[4]);
    EXPECT_EQ(msHeaderTotal, msBytes);
    // The host writes to an embedded IN jack and reads from an embedded OUT jack.
    ASSERT_EQ(endpointJack.size(), 2u);
    EXPECT_EQ(embeddedJacks[endpointJack[MIDI_OUT_ENDPOINT]], 0x02);
    EXPECT_EQ(embeddedJacks[endpointJack[MIDI_IN_ENDPOINT]], 0x03);
}

}  // namespace
