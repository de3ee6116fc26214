#include "tools/usb-device/event_packets.h"

namespace {

const uint8_t CIN_SYSEX_START = 0x4;  // start or continue: three bytes
const uint8_t CIN_SYSEX_END_1 = 0x5;  // ends with one byte (also a lone system common byte)
const uint8_t CIN_SINGLE_BYTE = 0xF;

bool IsRealTime(uint8_t byte) { return byte >= 0xF8; }

void AppendPacket(std::vector<uint8_t>& to, uint8_t cin, const std::vector<uint8_t>& bytes)
{
    to.push_back(cin);
    for (size_t i = 0; i < 3; ++i) to.push_back(i < bytes.size() ? bytes[i] : 0);
}

// How many MIDI bytes a packet of each code index number carries.
const uint8_t BYTES_OF_CIN[16] = {0, 0, 2, 3, 3, 1, 2, 3, 3, 3, 3, 3, 2, 2, 3, 1};

// The code index number of a whole short message, and how many bytes make it whole; 0 for a
// status byte that starts no short message.
uint8_t CinOfShort(uint8_t status, size_t* length)
{
    if (status < 0xF0) {
        *length = (status & 0xE0) == 0xC0 ? 2 : 3;
        return uint8_t(status >> 4);
    }
    switch (status) {
    case 0xF1:
    case 0xF3: *length = 2; return 0x2;
    case 0xF2: *length = 3; return 0x3;
    case 0xF6: *length = 1; return CIN_SYSEX_END_1;
    default: return 0;
    }
}

}  // namespace

std::vector<uint8_t> EncodeEventPackets(const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> packets;
    std::vector<uint8_t> pending;
    bool inSysex = false;
    auto byteByByte = [&] {
        for (uint8_t byte : pending) AppendPacket(packets, CIN_SINGLE_BYTE, {byte});
        pending.clear();
    };
    for (uint8_t byte : bytes) {
        if (IsRealTime(byte)) {
            AppendPacket(packets, CIN_SINGLE_BYTE, {byte});
            continue;
        }
        if (byte >= 0x80 && byte != 0xF7) {
            byteByByte();  // a message cut short by this status byte
            inSysex = byte == 0xF0;
        }
        pending.push_back(byte);
        size_t length = 0;
        uint8_t cin = !inSysex && pending[0] >= 0x80 ? CinOfShort(pending[0], &length) : 0;
        if (inSysex && byte == 0xF7) {
            AppendPacket(packets, uint8_t(CIN_SYSEX_END_1 + pending.size() - 1), pending);
            pending.clear();
            inSysex = false;
        } else if (inSysex && pending.size() == 3) {
            AppendPacket(packets, CIN_SYSEX_START, pending);
            pending.clear();
        } else if (cin != 0 && pending.size() == length) {
            AppendPacket(packets, cin, pending);
            pending.clear();
        }
    }
    byteByByte();
    return packets;
}

std::vector<std::vector<uint8_t>> EventPacketDecoder::Feed(const uint8_t* packets, size_t length)
{
    std::vector<std::vector<uint8_t>> complete;
    for (size_t at = 0; at + 4 <= length; at += 4) {
        uint8_t count = BYTES_OF_CIN[packets[at] & 0x0F];
        for (MidiMessage& message : reader_.Feed(packets + at + 1, count)) {
            if (message.sysex && message.complete) complete.push_back(std::move(message.bytes));
        }
    }
    return complete;
}
