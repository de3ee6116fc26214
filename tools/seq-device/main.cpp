// The simulated device on the far side of a virtual MIDI cable, for runs of the real Linux MIDI
// stack in a guest: answers each SysEx it receives. Writes READY_FILE once it is connected, and
// ends on SIGTERM.
// Usage: seq-device PEER_NAME READY_FILE
#include <signal.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "tools/seq-device/seq_port.h"

namespace {

volatile sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: seq-device PEER_NAME READY_FILE\n");
        return 2;
    }
    signal(SIGTERM, RequestStop);
    signal(SIGINT, RequestStop);
    try {
        SeqPort port(argv[1]);
        std::ofstream(argv[2]) << "connected\n";
        while (!stopRequested) {
            for (const auto& message : port.Receive(10)) port.Send(message);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "seq-device: %s\n", error.what());
        return 1;
    }
    return 0;
}
