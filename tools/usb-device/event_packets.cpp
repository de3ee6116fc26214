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

}  // namespace

std::vector<uint8_t> EncodeEventPackets(const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> packets;
    std::vector<uint8_t> pending;
    for (uint8_t byte : bytes) {
        if (IsRealTime(byte)) {
            AppendPacket(packets, CIN_SINGLE_BYTE, {byte});
            continue;
        }
        pending.push_back(byte);
        if (byte == 0xF7) {
            AppendPacket(packets, uint8_t(CIN_SYSEX_END_1 + pending.size() - 1), pending);
            pending.clear();
        } else if (pending.size() == 3) {
            AppendPacket(packets, CIN_SYSEX_START, pending);
            pending.clear();
        }
    }
    for (uint8_t byte : pending) AppendPacket(packets, CIN_SINGLE_BYTE, {byte});
    return packets;
}

std::vector<std::vector<uint8_t>> EventPacketDecoder::Feed(const uint8_t* packets, size_t length)
{
    std::vector<std::vector<uint8_t>> complete;
    for (size_t at = 0; at + 4 <= length; at += 4) {
        uint8_t count = BYTES_OF_CIN[packets[at] & 0x0F];
        for (uint8_t i = 1; i <= count; ++i) {
            uint8_t byte = packets[at + i];
            if (IsRealTime(byte)) continue;
            for (auto& message : assembler_.Feed(&byte, 1)) complete.push_back(std::move(message));
        }
    }
    return complete;
}
