#include "tools/usb-device/usb_descriptors.h"

#include <string>

namespace {

const char MANUFACTURER[] = "quillstrand";

enum StringIndex : uint8_t { MANUFACTURER_STRING = 1, PRODUCT_STRING = 2 };

// Class-specific descriptor types and subtypes of audio and MIDI streaming.
const uint8_t CS_INTERFACE = 0x24;
const uint8_t CS_ENDPOINT = 0x25;
const uint8_t HEADER = 0x01;
const uint8_t MIDI_IN_JACK = 0x02;
const uint8_t MIDI_OUT_JACK = 0x03;
const uint8_t MS_GENERAL = 0x01;
const uint8_t EMBEDDED = 0x01;
const uint8_t EXTERNAL = 0x02;

// Jack ids: the host writes to the embedded IN jack, which leads out of the external OUT jack;
// what comes in at the external IN jack reaches the host from the embedded OUT jack.
const uint8_t EMBEDDED_IN = 1, EXTERNAL_IN = 2, EMBEDDED_OUT = 3, EXTERNAL_OUT = 4;

uint8_t Low(unsigned value) { return uint8_t(value & 0xFF); }
uint8_t High(unsigned value) { return uint8_t(value >> 8); }

void Append(std::vector<uint8_t>& to, std::initializer_list<uint8_t> bytes)
{
    to.insert(to.end(), bytes);
}

std::vector<uint8_t> MidiStreamingDescriptors()
{
    std::vector<uint8_t> jacks;
    Append(jacks, {6, CS_INTERFACE, MIDI_IN_JACK, EMBEDDED, EMBEDDED_IN, 0});
    Append(jacks, {6, CS_INTERFACE, MIDI_IN_JACK, EXTERNAL, EXTERNAL_IN, 0});
    Append(jacks, {9, CS_INTERFACE, MIDI_OUT_JACK, EMBEDDED, EMBEDDED_OUT, 1, EXTERNAL_IN, 1, 0});
    Append(jacks, {9, CS_INTERFACE, MIDI_OUT_JACK, EXTERNAL, EXTERNAL_OUT, 1, EMBEDDED_IN, 1, 0});
    std::vector<uint8_t> endpoints;
    for (uint8_t endpoint : {MIDI_OUT_ENDPOINT, MIDI_IN_ENDPOINT}) {
        Append(endpoints, {9, 5, endpoint, 0x02 /* bulk */, Low(BULK_PACKET_SIZE),
                           High(BULK_PACKET_SIZE), 0, 0, 0});
        uint8_t jack = endpoint == MIDI_OUT_ENDPOINT ? EMBEDDED_IN : EMBEDDED_OUT;
        Append(endpoints, {5, CS_ENDPOINT, MS_GENERAL, 1, jack});
    }
    // The header's total counts the class-specific interface descriptors and the endpoints.
    const unsigned total = 7 + unsigned(jacks.size() + endpoints.size());
    std::vector<uint8_t> all = {7, CS_INTERFACE, HEADER, 0x00, 0x01, Low(total), High(total)};
    all.insert(all.end(), jacks.begin(), jacks.end());
    all.insert(all.end(), endpoints.begin(), endpoints.end());
    return all;
}

}  // namespace

std::vector<uint8_t> DeviceDescriptor()
{
    return {18, DEVICE_DESCRIPTOR, 0x10, 0x01,  // USB 1.1
            0, 0, 0,                 // the class is given by each interface
            64, Low(TEST_VENDOR_ID), High(TEST_VENDOR_ID), Low(TEST_PRODUCT_ID),
            High(TEST_PRODUCT_ID), 0x00, 0x01, MANUFACTURER_STRING, PRODUCT_STRING, 0, 1};
}

std::vector<uint8_t> ConfigurationDescriptor()
{
    std::vector<uint8_t> body;
    // Audio control: no endpoints, a header naming the one streaming interface.
    Append(body, {9, 4, 0, 0, 0, 0x01 /* audio */, 0x01 /* control */, 0, 0});
    Append(body, {9, CS_INTERFACE, HEADER, 0x00, 0x01, 9, 0, 1, 1});
    Append(body, {9, 4, 1, 0, 2, 0x01 /* audio */, 0x03 /* MIDI streaming */, 0, 0});
    std::vector<uint8_t> streaming = MidiStreamingDescriptors();
    body.insert(body.end(), streaming.begin(), streaming.end());
    const unsigned total = 9 + unsigned(body.size());
    std::vector<uint8_t> all = {9, CONFIGURATION_DESCRIPTOR, Low(total), High(total), 2, 1, 0,
                                0x80 /* bus powered */, 50 /* 100 mA */};
    all.insert(all.end(), body.begin(), body.end());
    return all;
}

std::optional<std::vector<uint8_t>> StringDescriptor(uint8_t index, const std::string& product)
{
    if (index == 0) return std::vector<uint8_t>{4, STRING_DESCRIPTOR, 0x09, 0x04};  // US English
    std::string text;
    if (index == MANUFACTURER_STRING) text = MANUFACTURER;
    else if (index == PRODUCT_STRING) text = product;
    else return std::nullopt;
    std::vector<uint8_t> descriptor = {uint8_t(2 + 2 * text.size()), STRING_DESCRIPTOR};
    for (char c : text) Append(descriptor, {uint8_t(c), 0});  // UTF-16LE of ASCII
    return descriptor;
}
