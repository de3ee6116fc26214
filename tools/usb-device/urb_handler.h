#pragma once

#include "tools/usb-device/event_packets.h"
#include "tools/usb-device/usbip_wire.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The device's side of every transfer the host submits: the control requests of enumeration on
// endpoint 0, the host's MIDI on the bulk OUT endpoint, and the device's MIDI in answer to the
// bulk IN transfers the host keeps waiting.
class UrbHandler {
public:
    struct Outcome {
        std::vector<std::vector<uint8_t>> replies;  // to send, in order
        std::vector<std::vector<uint8_t>> sysex;    // whole messages the host sent
    };

    // `product`: the product string the device enumerates with.
    explicit UrbHandler(std::string product);

    Outcome Handle(const UsbipCommand& command);
    // Queues a message to the host; it leaves with the next bulk IN transfers.
    void Send(const std::vector<uint8_t>& message);
    // Replies to waiting IN transfers with queued packets, as many as each can take.
    std::vector<std::vector<uint8_t>> AnswerWaitingIns();

private:
    struct WaitingIn {
        uint32_t seqnum;
        uint32_t bufferLength;
    };

    std::vector<uint8_t> Control(const UsbipCommand& command) const;

    std::string product_;
    EventPacketDecoder decoder_;
    std::deque<WaitingIn> waitingIns_;
    std::deque<uint8_t> packetsToHost_;
};
