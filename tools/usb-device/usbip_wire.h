#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The USB/IP messages between the kernel's virtual host controller and a device: 48-byte
// big-endian headers, an OUT transfer's data after its submit, an IN transfer's after its reply.

enum UsbipCommandCode : uint32_t { CMD_SUBMIT = 1, CMD_UNLINK = 2, RET_SUBMIT = 3, RET_UNLINK = 4 };
enum UsbipDirection : uint32_t { USBIP_DIR_OUT = 0, USBIP_DIR_IN = 1 };

const size_t USBIP_HEADER_SIZE = 48;
// Reply statuses, as the kernel's negative error numbers.
const int32_t STATUS_STALL = -32;          // EPIPE
const int32_t STATUS_UNLINKED = -104;      // ECONNRESET

struct UsbipCommand {
    uint32_t command = 0;
    uint32_t seqnum = 0;
    uint32_t direction = USBIP_DIR_OUT;
    uint32_t endpoint = 0;
    uint32_t bufferLength = 0;         // CMD_SUBMIT: bytes the host sends or can take
    std::array<uint8_t, 8> setup{};    // CMD_SUBMIT on endpoint 0
    uint32_t unlinkSeqnum = 0;         // CMD_UNLINK: the submit to take back
    std::vector<uint8_t> outData;      // CMD_SUBMIT, OUT
};

// Takes the byte stream from the host in whatever pieces it arrives and hands out whole commands.
class UsbipCommandReader {
public:
    void Feed(const uint8_t* bytes, size_t length);
    // The next whole command; nothing while it is still arriving. Throws std::runtime_error on a
    // command that is neither a submit nor an unlink.
    std::optional<UsbipCommand> Next();

private:
    std::vector<uint8_t> buffer_;
};

// A reply to a submit: the IN data goes with it; an OUT transfer's length is `actualLength`.
std::vector<uint8_t> SubmitReply(uint32_t seqnum, int32_t status, uint32_t actualLength,
                                 const std::vector<uint8_t>& inData = {});
std::vector<uint8_t> UnlinkReply(uint32_t seqnum, int32_t status);
