#include "tools/usb-device/usbip_wire.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

// Header fields, as 32-bit words: command, seqnum, devid, direction, ep, then the command's own.
enum Word { COMMAND, SEQNUM, DEVID, DIRECTION, ENDPOINT, FIRST_OWN };

uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t word)
{
    const uint8_t* at = bytes.data() + 4 * word;
    return uint32_t(at[0]) << 24 | uint32_t(at[1]) << 16 | uint32_t(at[2]) << 8 | at[3];
}

void PutWord(std::vector<uint8_t>& bytes, size_t word, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i) bytes[4 * word + i] = uint8_t(value >> (24 - 8 * i));
}

std::vector<uint8_t> ReplyHeader(uint32_t command, uint32_t seqnum, int32_t status)
{
    std::vector<uint8_t> header(USBIP_HEADER_SIZE, 0);
    PutWord(header, COMMAND, command);
    PutWord(header, SEQNUM, seqnum);
    PutWord(header, FIRST_OWN, uint32_t(status));
    return header;
}

}  // namespace

void UsbipCommandReader::Feed(const uint8_t* bytes, size_t length)
{
    buffer_.insert(buffer_.end(), bytes, bytes + length);
}

std::optional<UsbipCommand> UsbipCommandReader::Next()
{
    if (buffer_.size() < USBIP_HEADER_SIZE) return std::nullopt;
    UsbipCommand command;
    command.command = WordAt(buffer_, COMMAND);
    command.seqnum = WordAt(buffer_, SEQNUM);
    command.direction = WordAt(buffer_, DIRECTION);
    command.endpoint = WordAt(buffer_, ENDPOINT);
    size_t dataLength = 0;
    if (command.command == CMD_SUBMIT) {
        // transfer_flags, transfer_buffer_length, start_frame, number_of_packets, interval, setup
        command.bufferLength = WordAt(buffer_, FIRST_OWN + 1);
        std::copy_n(buffer_.begin() + 4 * (FIRST_OWN + 5), 8, command.setup.begin());
        if (command.direction == USBIP_DIR_OUT) dataLength = command.bufferLength;
    } else if (command.command == CMD_UNLINK) {
        command.unlinkSeqnum = WordAt(buffer_, FIRST_OWN);
    } else {
        throw std::runtime_error("USB/IP command " + std::to_string(command.command));
    }
    if (buffer_.size() < USBIP_HEADER_SIZE + dataLength) return std::nullopt;
    auto data = buffer_.begin() + USBIP_HEADER_SIZE;
    command.outData.assign(data, data + long(dataLength));
    buffer_.erase(buffer_.begin(), data + long(dataLength));
    return command;
}

std::vector<uint8_t> SubmitReply(uint32_t seqnum, int32_t status, uint32_t actualLength,
                                 const std::vector<uint8_t>& inData)
{
    std::vector<uint8_t> reply = ReplyHeader(RET_SUBMIT, seqnum, status);
    PutWord(reply, FIRST_OWN + 1, actualLength);
    reply.insert(reply.end(), inData.begin(), inData.end());
    return reply;
}

std::vector<uint8_t> UnlinkReply(uint32_t seqnum, int32_t status)
{
    return ReplyHeader(RET_UNLINK, seqnum, status);
}
