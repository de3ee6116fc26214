#include "tests/guest/guest_devices.h"

#include <sstream>
#include <stdexcept>

namespace {

// The USB product strings the device programs enumerate with (scripts/guest/scenarios/lib.sh).
std::string Product(GuestDevice device)
{
    return device == GuestDevice::Controller ? "quillstrand MIDI" : "Keys 49";
}

// The USB MIDI driver names the port after the product. Firefox names a port after the
// sequencer's client and port and their numbers: each sound card has four client numbers from 16
// on, and the cards are numbered in the order the devices were plugged in.
std::string UsbPortName(const std::string& kind, GuestDevice device, int card)
{
    const std::string port = Product(device) + " MIDI 1";
    if (kind != "web_firefox") return port;
    return Product(device) + ":" + port + " " + std::to_string(16 + 4 * card) + ":0";
}

}  // namespace

std::vector<GuestDevice> ParseDevices(const std::string& column)
{
    std::vector<GuestDevice> devices;
    if (column == "none") return devices;
    std::istringstream list(column);
    std::string name;
    while (std::getline(list, name, ',')) {
        if (name == "controller") devices.push_back(GuestDevice::Controller);
        else if (name == "keys") devices.push_back(GuestDevice::Keys);
        else if (name == "through") devices.push_back(GuestDevice::Through);
        else throw std::invalid_argument("no guest device " + name);
    }
    return devices;
}

std::string ProgramOf(const std::string& kind)
{
    return kind.substr(0, kind.find('_'));
}

std::vector<SeenPort> PortsSeen(const std::string& kind, const std::vector<GuestDevice>& devices)
{
    std::vector<SeenPort> ports;
    int card = 0;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (devices[i] != GuestDevice::Through) {
            ports.push_back({i, UsbPortName(kind, devices[i], card++)});
        } else if (ProgramOf(kind) == "wine") {
            // Wine lists the sequencer's ports by client number: "Midi Through" is client 14,
            // before every card's. It is no raw MIDI device, and the page passes it over.
            ports.insert(ports.begin(), {i, "Midi Through Port-0"});
        }
    }
    return ports;
}
