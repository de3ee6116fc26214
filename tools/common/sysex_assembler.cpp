#include "tools/common/sysex_assembler.h"

std::vector<std::vector<uint8_t>> SysExAssembler::Feed(const uint8_t* bytes, size_t length)
{
    std::vector<std::vector<uint8_t>> complete;
    for (size_t i = 0; i < length; ++i) {
        uint8_t byte = bytes[i];
        if (byte == 0xF0) {
            pending_.assign(1, byte);
            inMessage_ = true;
        } else if (inMessage_) {
            pending_.push_back(byte);
            if (byte == 0xF7) {
                complete.push_back(std::move(pending_));
                pending_.clear();
                inMessage_ = false;
            }
        }
    }
    return complete;
}
