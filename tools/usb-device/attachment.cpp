#include "tools/usb-device/attachment.h"

#include "tools/usb-device/urb_handler.h"
#include "tools/usb-device/usbip_wire.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

const int LONGEST_WAIT_MS = 10;  // how soon a stop request and the new card are seen
// How long the device stays plugged in after the controller left. Once the card is removed the
// kernel throws away what its MIDI input holds, so a program that had not yet read the last
// answer would never get it; a restarting device also takes a moment before it drops off the bus.
const uint64_t LINGER_MS = 200;

void SendAll(int socket, const std::vector<uint8_t>& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw std::runtime_error(std::string("send: ") + std::strerror(errno));
        sent += size_t(n);
    }
}

// False when the host has ended the connection.
bool ReadFromHost(int socket, UsbipCommandReader& reader)
{
    uint8_t buffer[4096];
    ssize_t n = recv(socket, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
    if (n < 0) throw std::runtime_error(std::string("receive: ") + std::strerror(errno));
    reader.Feed(buffer, size_t(n));
    return n > 0;
}

}  // namespace

AttachmentEnd ServeAttachment(int socket, ControllerSession& device, const MsClock& clock,
                              const std::string& product, const std::function<void()>& afterTurn)
{
    UsbipCommandReader reader;
    UrbHandler urbs(product);
    // A restart with no time away still makes a new device.
    const unsigned appearance = device.Appearances();
    std::optional<uint64_t> leftAtMs;
    for (;;) {
        if (StopRequested()) return AttachmentEnd::Stopped;
        const uint64_t now = clock.Now();
        // Asked first at each time: the answer that made the controller leave went out with the
        // turn before.
        if (!leftAtMs && (device.Away(now) || device.Appearances() != appearance)) leftAtMs = now;
        if (leftAtMs && now >= *leftAtMs + LINGER_MS) return AttachmentEnd::Left;
        const int waitMs = leftAtMs ? LONGEST_WAIT_MS : device.WaitMs(now, LONGEST_WAIT_MS);
        pollfd fd = {socket, POLLIN, 0};
        if (poll(&fd, 1, waitMs) > 0 && !ReadFromHost(socket, reader)) {
            return leftAtMs ? AttachmentEnd::Left : AttachmentEnd::HostLeft;
        }
        while (auto command = reader.Next()) {
            UrbHandler::Outcome outcome = urbs.Handle(*command);
            // Once the controller has left, what the host still sends reaches nothing.
            for (size_t i = 0; !leftAtMs && i < outcome.sysex.size(); ++i) {
                if (!device.Receive(outcome.sysex[i], clock.Now())) return AttachmentEnd::Unplugged;
            }
            for (const auto& reply : outcome.replies) SendAll(socket, reply);
        }
        if (!leftAtMs) {
            for (const auto& message : device.TakeDue(clock.Now())) urbs.Send(message);
        }
        for (const auto& reply : urbs.AnswerWaitingIns()) SendAll(socket, reply);
        afterTurn();
    }
}
