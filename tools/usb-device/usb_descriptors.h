#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The descriptors of a full-speed USB Audio Class 1.0 MIDI device with one IN and one OUT jack:
// interface 0 is the (empty) audio control interface, interface 1 the MIDI streaming one with a
// bulk OUT endpoint 0x01 and a bulk IN endpoint 0x81 of 64 bytes.

const uint16_t TEST_VENDOR_ID = 0x1209;   // pid.codes, whose product ids 0x0001-0x0010 are for
const uint16_t TEST_PRODUCT_ID = 0x0001;  // testing
const uint8_t MIDI_OUT_ENDPOINT = 0x01;   // host to device
const uint8_t MIDI_IN_ENDPOINT = 0x81;    // device to host
const uint16_t BULK_PACKET_SIZE = 64;
// The controller's product string; the driver names the port "<product> MIDI 1".
const char CONTROLLER_PRODUCT[] = "quillstrand MIDI";
// A string descriptor holds at most this many UTF-16 units.
const size_t LONGEST_STRING = 126;

enum DescriptorType : uint8_t {
    DEVICE_DESCRIPTOR = 1,
    CONFIGURATION_DESCRIPTOR = 2,
    STRING_DESCRIPTOR = 3,
};

std::vector<uint8_t> DeviceDescriptor();
// The configuration with all its interface, class and endpoint descriptors.
std::vector<uint8_t> ConfigurationDescriptor();
// Index 0 is the language list, then the maker and `product` (ASCII, at most LONGEST_STRING);
// nothing for an index the device has no string for.
std::optional<std::vector<uint8_t>> StringDescriptor(uint8_t index, const std::string& product);
