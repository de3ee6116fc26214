// The simulated controller as a full-speed USB MIDI device of the guest kernel, so that programs
// reach it through the kernel's USB MIDI driver: it plugs itself into a free port of the USB/IP
// virtual host controller and serves the transfers the host submits. It is set up and reports as
// tools/common/device_run.h says; READY_FILE (its pid) is written once the kernel has made its MIDI
// device, or at once when the script plugs it in later (the program under test starts first). It
// unplugs itself on SIGTERM, and at the frame the script unplugs it at. When the controller
// restarts it is unplugged while away and plugged in again as a new device. PRODUCT is its USB
// product string (the controller's by default): another name makes another maker's device.
// Usage: usb-device READY_FILE [PRODUCT]
#include "tools/common/device_run.h"
#include "controller/controller_session.h"
#include "tools/usb-device/attachment.h"
#include "tools/usb-device/usb_descriptors.h"
#include "tools/usb-device/vhci_port.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace {

const int LONGEST_SLEEP_MS = 10;     // how soon a stop request is seen while away
const int CARD_GONE_WAIT_MS = 3000;  // for the kernel to remove the card after the unplug

std::optional<int> OurCard(const VhciPort& port)
{
    std::ifstream cards("/proc/asound/cards");
    return CardAt(std::string(std::istreambuf_iterator<char>(cards), {}), port.UsbPath());
}

bool MidiDeviceExists(const VhciPort& port)
{
    std::optional<int> card = OurCard(port);
    return card && access(("/dev/snd/midiC" + std::to_string(*card) + "D0").c_str(), F_OK) == 0;
}

// The next device plugged in may take the same card number only once this one is gone.
void WaitUntilCardGone(const VhciPort& port)
{
    for (int waited = 0; waited < CARD_GONE_WAIT_MS && OurCard(port); waited += LONGEST_SLEEP_MS) {
        usleep(LONGEST_SLEEP_MS * 1000);
    }
}

// Restarting, or not plugged in yet. False when the program is asked to stop meanwhile.
bool WaitWhileAway(ControllerSession& device, const MsClock& clock)
{
    while (device.Away(clock.Now())) {
        if (StopRequested()) return false;
        usleep(useconds_t(device.WaitMs(clock.Now(), LONGEST_SLEEP_MS)) * 1000);
    }
    return !StopRequested();
}

void Run(ControllerSession& device, const std::string& readyFile, const std::string& product)
{
    MsClock clock;
    bool ready = false;
    if (device.Away(clock.Now())) {
        WriteReadyFile(readyFile);
        ready = true;
    }
    AttachmentEnd end = AttachmentEnd::Left;
    while (end == AttachmentEnd::Left && WaitWhileAway(device, clock)) {
        VhciPort port;
        end = ServeAttachment(port.Socket(), device, clock, product, [&] {
            if (!ready && MidiDeviceExists(port)) {
                WriteReadyFile(readyFile);
                ready = true;
            }
        });
        port.Unplug();
        WaitUntilCardGone(port);
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
        Run(device, argv[1], product);
        WriteReport(device);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "usb-device: %s\n", error.what());
        return 1;
    }
    return 0;
}
