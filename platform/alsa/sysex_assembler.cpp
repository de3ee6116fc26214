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

// An unfinished message is no reply: what the header holds of it is thrown away.
void Abandon(SysexAssembly& assembly, MIDIHDR* header)
{
    if (assembly.inMessage && header != nullptr) header->dwBytesRecorded = 0;
    assembly.inMessage = false;
    assembly.dropping = false;
}

}  // namespace

SysexFeed FeedSysex(SysexAssembly& assembly, const uint8_t* bytes, size_t size, MIDIHDR* header)
{
    for (size_t i = 0; i < size; ++i) {
        uint8_t byte = bytes[i];
        bool done = false;
        if (byte >= 0xF8) {
            continue;  // real-time bytes may appear anywhere, even inside a message
        } else if (byte == SYSEX_START) {
            Abandon(assembly, header);
            assembly.inMessage = true;
            done = Record(assembly, header, byte);
        } else if (!assembly.inMessage) {
            continue;
        } else if (byte == SYSEX_END) {
            done = Record(assembly, header, byte);
            assembly.inMessage = false;
            assembly.dropping = false;
        } else if (byte >= 0x80) {
            Abandon(assembly, header);  // any other status byte ends a message unfinished
        } else {
            done = Record(assembly, header, byte);
        }
        if (done) return {i + 1, true};
    }
    return {size, false};
}
