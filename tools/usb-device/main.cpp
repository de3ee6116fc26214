// The simulated controller as a full-speed USB MIDI device of the guest kernel, so that programs
// reach it through the kernel's USB MIDI driver: it plugs itself into a free port of the USB/IP
// virtual host controller and serves the transfers the host submits. It is set up and reports as
// tools/common/device_run.h says; READY_FILE (its pid) is written once the kernel has made its MIDI
// device. It unplugs itself on SIGTERM, and at the frame the script unplugs it at. PRODUCT is its
// USB product string (the controller's by default): another name makes another maker's device.
// Usage: usb-device READY_FILE [PRODUCT]
#include "tools/common/device_run.h"
#include "controller/controller_session.h"
#include "tools/usb-device/urb_handler.h"
#include "tools/usb-device/usb_descriptors.h"
#include "tools/usb-device/vhci_port.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace {

const int LONGEST_WAIT_MS = 10;     // how soon a stop request and the new card are seen
const int CARD_GONE_WAIT_MS = 3000;  // for the kernel to remove the card after the unplug

std::optional<int> OurCard(const VhciPort& port)
{
    std::ifstream cards("/proc/asound/cards");
    return CardAt(std::string(std::istreambuf_iterator<char>(cards), {}), port.UsbPath());
}

bool MidiDeviceExists(int card)
{
    return access(("/dev/snd/midiC" + std::to_string(card) + "D0").c_str(), F_OK) == 0;
}

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

void Serve(VhciPort& port, ControllerSession& device, const std::string& readyFile,
           const std::string& product)
{
    MsClock clock;
    UsbipCommandReader reader;
    UrbHandler urbs(product);
    bool ready = false;
    while (!StopRequested()) {
        pollfd fd = {port.Socket(), POLLIN, 0};
        if (poll(&fd, 1, device.WaitMs(clock.Now(), LONGEST_WAIT_MS)) > 0 &&
            !ReadFromHost(port.Socket(), reader)) {
            return;
        }
        while (auto command = reader.Next()) {
            UrbHandler::Outcome outcome = urbs.Handle(*command);
            for (const auto& message : outcome.sysex) {
                if (!device.Receive(message, clock.Now())) return;  // the scripted unplug
            }
            for (const auto& reply : outcome.replies) SendAll(port.Socket(), reply);
        }
        for (const auto& message : device.TakeDue(clock.Now())) urbs.Send(message);
        for (const auto& reply : urbs.AnswerWaitingIns()) SendAll(port.Socket(), reply);
        if (!ready) {
            std::optional<int> card = OurCard(port);
            if (card && MidiDeviceExists(*card)) {
                WriteReadyFile(readyFile);
                ready = true;
            }
        }
    }
}

// The next device plugged in may take the same card number only once this one is gone.
void WaitUntilCardGone(const VhciPort& port)
{
    for (int waited = 0; waited < CARD_GONE_WAIT_MS && OurCard(port); waited += LONGEST_WAIT_MS) {
        usleep(LONGEST_WAIT_MS * 1000);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string product = argc == 3 ? argv[2] : CONTROLLER_PRODUCT;
    if (argc < 2 || argc > 3 || product.empty() || product.size() > LONGEST_STRING) {
        std::fprintf(stderr, "usage: usb-device READY_FILE [PRODUCT]\n");
        return 2;
    }
    StopOnSignals();
    try {
        ControllerSession device(SetupFromEnvironment());
        VhciPort port;
        Serve(port, device, argv[1], product);
        port.Unplug();
        WaitUntilCardGone(port);
        WriteReport(device);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "usb-device: %s\n", error.what());
        return 1;
    }
    return 0;
}
