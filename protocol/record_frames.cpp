#include "protocol/record_frames.h"

#include "midi/midi_link.h"
#include "midi/reply_handover.h"
#include "protocol/byte_to_hex.h"
#include "protocol/messages.h"

uint16_t SendRecord(const FirmwareImage* image, uint32_t position, uint16_t size)
{
    char hex[100];
    uint16_t remaining = size;
    while (remaining != 0) {
        const uint8_t* piece = image->bytes + position + size - remaining;
        unsigned pieceBytes = remaining >= CHUNK_BYTES ? CHUNK_BYTES : remaining;
        for (unsigned i = 0; i < pieceBytes; ++i) ByteToHex(piece[i], hex + 2 * i);
        // The device cannot answer a record before its last frame: what came until then answers
        // an earlier send, and taking it would put every answer after it one record behind.
        DiscardReply();
        uint16_t result = SendSysEx((const uint8_t*)hex, 2 * pieceBytes);
        if (result != 0) return result;
        remaining = (uint16_t)(remaining - pieceBytes);
        Sleep(1);
    }
    return 0;
}
