#pragma once

#include "tools/usb-device/usbip_wire.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// What the kernel's virtual host controller writes to a device and reads back, for the tests that
// stand in for it.

using Bytes = std::vector<uint8_t>;

inline void Put(Bytes& bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (24 - 8 * i));
}

inline uint32_t Get(const Bytes& bytes, size_t at)
{
    return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
           uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

inline Bytes Submit(uint32_t seqnum, uint32_t direction, uint32_t endpoint, uint32_t length,
                    const Bytes& setup = Bytes(8), const Bytes& out = {})
{
    Bytes wire(USBIP_HEADER_SIZE + out.size(), 0);
    Put(wire, 0, CMD_SUBMIT);
    Put(wire, 4, seqnum);
    Put(wire, 12, direction);
    Put(wire, 16, endpoint);
    Put(wire, 24, length);
    std::copy(setup.begin(), setup.end(), wire.begin() + 40);
    std::copy(out.begin(), out.end(), wire.begin() + USBIP_HEADER_SIZE);
    return wire;
}

inline Bytes Unlink(uint32_t seqnum, uint32_t target)
{
    Bytes wire(USBIP_HEADER_SIZE, 0);
    Put(wire, 0, CMD_UNLINK);
    Put(wire, 4, seqnum);
    Put(wire, 20, target);
    return wire;
}

// seqnum, status, actual length and the data of a RET_SUBMIT or RET_UNLINK.
struct Reply {
    uint32_t command, seqnum;
    int32_t status;
    uint32_t length;
    Bytes data;
};

inline Reply Read(const Bytes& reply)
{
    return {Get(reply, 0), Get(reply, 4), int32_t(Get(reply, 20)), Get(reply, 24),
            Bytes(reply.begin() + USBIP_HEADER_SIZE, reply.end())};
}
