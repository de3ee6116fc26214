#include "platform/alsa/sysex_assembler.h"

namespace {

const uint8_t SYSEX_END = 0xF7;

// Appends one byte of the current message; true when that completes the header.
bool Record(SysexAssembly& assembly, MIDIHDR* header, uint8_t byte)
{
    if (assembly.dropping) return false;
    if (header == nullptr) {
        assembly.dropping = true;
        return false;
    }
    header->lpData[header->dwBytesRecorded++] = (char)byte;
    return byte == SYSEX_END || header->dwBytesRecorded >= header->dwBufferLength;
}

}  // namespace

SysexFeed FeedSysex(SysexAssembly& assembly, const uint8_t* bytes, size_t size, MIDIHDR* header)
{
    size_t i = 0;
    while (i < size) {
        MidiByte decoded = DecodeMidiByte(assembly.stream, bytes[i]);
        if (decoded.kind == MidiByteKind::SysexCut) {
            bool holdsPart = !assembly.dropping && header != nullptr && header->dwBytesRecorded > 0;
            assembly.dropping = false;
            // The byte that cut it is left for the next call, which starts in the next header.
            if (holdsPart) return {i, MIM_LONGERROR};
            continue;
        }
        uint8_t byte = bytes[i++];
        if (decoded.kind != MidiByteKind::Sysex) continue;
        bool done = Record(assembly, header, byte);
        if (byte == SYSEX_END) assembly.dropping = false;
        if (done) return {i, MIM_LONGDATA};
    }
    return {size, 0};
}
