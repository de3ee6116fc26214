#include "backends/alsa/port_list.h"

#include "platform/winmm.h"

namespace {

std::string Address(int card, int device)
{
    return "hw:" + std::to_string(card) + "," + std::to_string(device);
}

std::string PortName(const std::string& name)
{
    return name.substr(0, MAXPNAMELEN - 1);
}

}  // namespace

std::vector<MidiPort> ListMidiPorts(const std::vector<RawmidiDevice>& devices)
{
    std::vector<MidiPort> ports;
    for (const RawmidiDevice& device : devices) {
        const std::vector<std::string>& subdevices = device.subdeviceNames;
        if (subdevices.empty()) continue;
        std::string address = Address(device.card, device.device);
        if (subdevices[0].empty()) {
            ports.push_back({address, PortName(device.name)});
            continue;
        }
        for (size_t sub = 0; sub < subdevices.size(); ++sub) {
            const std::string& name = subdevices[sub].empty() ? device.name : subdevices[sub];
            ports.push_back({address + "," + std::to_string(sub), PortName(name)});
        }
    }
    return ports;
}
