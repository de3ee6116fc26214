#include "controller/record_assembler.h"

static int HexValue(uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::vector<uint8_t>> DecodeDataFrame(const std::vector<uint8_t>& sysex)
{
    size_t textLength = sysex.size() >= 2 ? sysex.size() - 2 : 0;
    if (textLength == 0 || textLength % 2 != 0 || sysex.front() != 0xF0 || sysex.back() != 0xF7) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(textLength / 2);
    for (size_t i = 1; i + 1 < sysex.size(); i += 2) {
        int high = HexValue(sysex[i]);
        int low = HexValue(sysex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(uint8_t(high << 4 | low));
    }
    return bytes;
}

static size_t RecordSize(const std::vector<uint8_t>& bytes)
{
    return (size_t(bytes[0]) << 8 | bytes[1]) + 2;
}

std::vector<std::vector<uint8_t>> RecordAssembler::Add(const std::vector<uint8_t>& bytes,
                                                       uint64_t nowMs)
{
    if (!partial_.empty() && nowMs - lastFrameMs_ > resyncGapMs_) {
        partial_.clear();
        ++dropped_;
    }
    lastFrameMs_ = nowMs;

    std::vector<std::vector<uint8_t>> complete;
    for (uint8_t byte : bytes) {
        partial_.push_back(byte);
        if (partial_.size() >= 2 && partial_.size() == RecordSize(partial_)) {
            complete.push_back(std::move(partial_));
            partial_.clear();
        }
    }
    return complete;
}
