#include "sim/midi_input_parser.h"

namespace {

const uint8_t SYSEX_START = 0xF0;
const uint8_t SYSEX_END = 0xF7;

// Data bytes that follow each status byte.
std::size_t DataBytes(uint8_t status)
{
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0: return 1;
    case 0xF0: return status == 0xF2 ? 2 : (status == 0xF1 || status == 0xF3) ? 1 : 0;
    default: return 2;
    }
}

MidiInputMessage Short(uint8_t status, const std::vector<uint8_t>& data)
{
    MidiInputMessage message;
    message.packed = status;
    for (std::size_t i = 0; i < data.size(); ++i) message.packed |= DWORD(data[i]) << (8 * (i + 1));
    return message;
}

}  // namespace

std::vector<MidiInputMessage> MidiInputParser::Feed(const std::vector<uint8_t>& bytes)
{
    std::vector<MidiInputMessage> out;
    for (uint8_t byte : bytes) {
        if (byte >= 0xF8) {
            out.push_back(Short(byte, {}));
        } else if (byte >= 0x80) {
            Status(byte, out);
        } else {
            Data(byte, out);
        }
    }
    return out;
}

void MidiInputParser::Status(uint8_t byte, std::vector<MidiInputMessage>& out)
{
    if (inSysex_) {
        inSysex_ = false;
        if (byte == SYSEX_END) sysex_.push_back(byte);
        out.push_back({byte == SYSEX_END ? UINT(MIM_LONGDATA) : UINT(MIM_LONGERROR), 0, sysex_});
        if (byte == SYSEX_END) return;
    }
    data_.clear();
    status_ = 0;
    if (byte == SYSEX_START) {
        inSysex_ = true;
        sysex_.assign(1, byte);
    } else if (byte != SYSEX_END) {
        status_ = byte;
        if (DataBytes(byte) == 0) {
            out.push_back(Short(byte, {}));
            status_ = 0;
        }
    }
}

void MidiInputParser::Data(uint8_t byte, std::vector<MidiInputMessage>& out)
{
    if (inSysex_) {
        sysex_.push_back(byte);
        return;
    }
    if (status_ == 0) return;
    data_.push_back(byte);
    if (data_.size() < DataBytes(status_)) return;
    out.push_back(Short(status_, data_));
    data_.clear();
    // Only channel messages run on.
    if (status_ >= 0xF0) status_ = 0;
}
