#include "backends/alsa/port_list.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Addresses(const std::vector<MidiPort>& ports)
{
    std::vector<std::string> addresses;
    for (const MidiPort& port : ports) addresses.push_back(port.address);
    return addresses;
}

std::vector<std::string> Names(const std::vector<MidiPort>& ports)
{
    std::vector<std::string> names;
    for (const MidiPort& port : ports) names.push_back(port.name);
    return names;
}

using Strings = std::vector<std::string>;

TEST(ListMidiPorts, EachNamedSubdeviceIsAPortAndAnUnnamedDeviceIsOne)
{
    std::vector<MidiPort> ports = ListMidiPorts({
        {0, 0, "Virtual Raw MIDI", Strings(16, "")},
        {1, 0, "quillstrand", {"quillstrand MIDI 1", "quillstrand MIDI 2"}},
        {1, 2, "Other device", {"Port A", ""}},
        {2, 0, "No subdevices in this direction", {}},
        {3, 1, "Single", {""}},
    });
    EXPECT_EQ(Addresses(ports),
              (Strings{"hw:0,0", "hw:1,0,0", "hw:1,0,1", "hw:1,2,0", "hw:1,2,1", "hw:3,1"}));
    EXPECT_EQ(Names(ports), (Strings{"Virtual Raw MIDI", "quillstrand MIDI 1", "quillstrand MIDI 2",
                                     "Port A", "Other device", "Single"}));
    EXPECT_TRUE(ListMidiPorts({}).empty());
}

TEST(ListMidiPorts, CutsNamesToWhatACapabilityRecordHolds)
{
    std::string longName = "A name that is far longer than thirty-one characters";
    std::vector<MidiPort> ports = ListMidiPorts({
        {0, 0, longName, {""}},
        {0, 1, "device", {longName}},
        {0, 2, std::string(31, 'x'), {""}},
    });
    EXPECT_EQ(Names(ports), (Strings{longName.substr(0, 31), longName.substr(0, 31),
                                     std::string(31, 'x')}));
}

}  // namespace
