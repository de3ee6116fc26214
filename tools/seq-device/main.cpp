// The simulated controller on the far side of a virtual MIDI cable, for runs of the real Linux
// MIDI stack: a sequencer client subscribed both ways to the kernel client named PEER_NAME. It is
// set up and reports as tools/common/device_run.h says, and also ends at the frame the script
// unplugs it at. READY_FILE is written once it is connected, since the driver drops what is
// written before.
// Usage: seq-device PEER_NAME READY_FILE
#include "tools/common/device_run.h"
#include "tools/common/device_session.h"
#include "tools/seq-device/seq_port.h"

#include <cstdio>
#include <stdexcept>

namespace {

const int LONGEST_WAIT_MS = 10;  // how soon a stop request is seen

void Serve(SeqPort& port, DeviceSession& device)
{
    MsClock clock;
    while (!StopRequested() && !device.Vanished()) {
        for (const auto& message : port.Receive(device.WaitMs(clock.Now(), LONGEST_WAIT_MS))) {
            if (!device.Receive(message, clock.Now())) break;
        }
        for (const auto& message : device.TakeDue(clock.Now())) port.Send(message);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: seq-device PEER_NAME READY_FILE\n");
        return 2;
    }
    StopOnSignals();
    try {
        DeviceSession device(SetupFromEnvironment());
        SeqPort port(argv[1]);
        WriteReadyFile(argv[2]);
        Serve(port, device);
        WriteReport(device);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "seq-device: %s\n", error.what());
        return 1;
    }
    return 0;
}
