#include "platform/alsa/sysex_assembler.h"

namespace {

const uint8_t SYSEX_START = 0xF0;
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

// Ends the current message unfinished: true when the header holds part of it to hand back.
bool CutShort(SysexAssembly& assembly, MIDIHDR* header)
{
    bool holdsPart = assembly.inMessage && !assembly.dropping && header != nullptr &&
                     header->dwBytesRecorded > 0;
    assembly.inMessage = false;
    assembly.dropping = false;
    return holdsPart;
}

}  // namespace

SysexFeed FeedSysex(SysexAssembly& assembly, const uint8_t* bytes, size_t size, MIDIHDR* header)
{
    for (size_t i = 0; i < size; ++i) {
        uint8_t byte = bytes[i];
        if (byte >= 0xF8) continue;  // real-time bytes may appear anywhere, even inside a message
        // Any other status byte but the end cuts a message short; the byte is left for the next
        // call, which starts afresh in the next header.
        if (byte >= 0x80 && byte != SYSEX_END && CutShort(assembly, header)) return {i, MIM_LONGERROR};
        if (byte == SYSEX_START) {
            assembly.inMessage = true;
        } else if (!assembly.inMessage) {
            continue;
        }
        bool done = Record(assembly, header, byte);
        if (byte == SYSEX_END) {
            assembly.inMessage = false;
            assembly.dropping = false;
        }
        if (done) return {i + 1, MIM_LONGDATA};
    }
    return {size, 0};
}
