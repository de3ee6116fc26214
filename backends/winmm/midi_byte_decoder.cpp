#include "backends/winmm/midi_byte_decoder.h"

namespace {

const uint8_t SYSEX_START = 0xF0;
const uint8_t SYSEX_END = 0xF7;

// Data bytes that follow each status byte.
uint8_t DataBytes(uint8_t status)
{
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0: return 1;
    case 0xF0: return status == 0xF2 ? 2 : (status == 0xF1 || status == 0xF3) ? 1 : 0;
    default: return 2;
    }
}

MidiByte Short(uint8_t status, const uint8_t* data, uint8_t count)
{
    uint32_t packed = status;
    for (uint8_t i = 0; i < count; ++i) packed |= uint32_t(data[i]) << (8 * (i + 1));
    return {MidiByteKind::Short, packed};
}

MidiByte Status(MidiStreamState& state, uint8_t byte)
{
    if (state.inSysex) {
        state.inSysex = false;
        return {byte == SYSEX_END ? MidiByteKind::Sysex : MidiByteKind::SysexCut, 0};
    }
    state.dataCount = 0;
    state.status = 0;
    if (byte == SYSEX_START) {
        state.inSysex = true;
        return {MidiByteKind::Sysex, 0};
    }
    if (byte == SYSEX_END) return {MidiByteKind::None, 0};
    if (DataBytes(byte) == 0) return Short(byte, nullptr, 0);
    state.status = byte;
    return {MidiByteKind::None, 0};
}

MidiByte Data(MidiStreamState& state, uint8_t byte)
{
    if (state.inSysex) return {MidiByteKind::Sysex, 0};
    if (state.status == 0) return {MidiByteKind::None, 0};
    state.data[state.dataCount++] = byte;
    if (state.dataCount < DataBytes(state.status)) return {MidiByteKind::None, 0};
    MidiByte message = Short(state.status, state.data, state.dataCount);
    state.dataCount = 0;
    // Only channel messages run on.
    if (state.status >= 0xF0) state.status = 0;
    return message;
}

}  // namespace

MidiByte DecodeMidiByte(MidiStreamState& state, uint8_t byte)
{
    if (byte >= 0xF8) return Short(byte, nullptr, 0);
    return byte >= 0x80 ? Status(state, byte) : Data(state, byte);
}

std::vector<MidiMessage> MidiMessageReader::Feed(const uint8_t* bytes, size_t size)
{
    std::vector<MidiMessage> messages;
    size_t i = 0;
    while (i < size) {
        MidiByte decoded = DecodeMidiByte(state_, bytes[i]);
        switch (decoded.kind) {
        case MidiByteKind::None: break;
        case MidiByteKind::Short: messages.push_back({false, false, {}, decoded.packed}); break;
        case MidiByteKind::SysexCut: messages.push_back({true, false, std::move(sysex_), 0}); break;
        case MidiByteKind::Sysex:
            if (bytes[i] == SYSEX_START) sysex_.clear();
            sysex_.push_back(bytes[i]);
            if (bytes[i] == SYSEX_END) messages.push_back({true, true, std::move(sysex_), 0});
            break;
        }
        if (decoded.kind != MidiByteKind::SysexCut) ++i;
    }
    return messages;
}
