#include "backends/alsa/rawmidi_ports.h"

#include "backends/alsa/quiet_alsa.h"

#include <memory>

namespace {

using CtlHandle = std::unique_ptr<snd_ctl_t, decltype(&snd_ctl_close)>;
using RawmidiInfo = std::unique_ptr<snd_rawmidi_info_t, decltype(&snd_rawmidi_info_free)>;

// The device in this direction, or false when it has none (an output-only device, say).
bool DescribeDevice(snd_ctl_t* ctl, snd_rawmidi_info_t* info, RawmidiDevice& device)
{
    snd_rawmidi_info_set_subdevice(info, 0);
    if (snd_ctl_rawmidi_info(ctl, info) < 0) return false;
    device.name = snd_rawmidi_info_get_name(info);
    unsigned count = snd_rawmidi_info_get_subdevices_count(info);
    for (unsigned sub = 0; sub < count; ++sub) {
        snd_rawmidi_info_set_subdevice(info, sub);
        bool known = snd_ctl_rawmidi_info(ctl, info) >= 0;
        device.subdeviceNames.push_back(known ? snd_rawmidi_info_get_subdevice_name(info) : "");
    }
    return true;
}

void ReadCard(int card, snd_rawmidi_stream_t stream, std::vector<RawmidiDevice>& devices)
{
    snd_ctl_t* opened = nullptr;
    if (snd_ctl_open(&opened, ("hw:" + std::to_string(card)).c_str(), 0) < 0) return;
    CtlHandle ctl(opened, snd_ctl_close);
    snd_rawmidi_info_t* allocated = nullptr;
    if (snd_rawmidi_info_malloc(&allocated) < 0) return;
    RawmidiInfo info(allocated, snd_rawmidi_info_free);
    snd_rawmidi_info_set_stream(info.get(), stream);
    int device = -1;
    while (snd_ctl_rawmidi_next_device(ctl.get(), &device) >= 0 && device >= 0) {
        snd_rawmidi_info_set_device(info.get(), device);
        RawmidiDevice described{card, device, "", {}};
        if (DescribeDevice(ctl.get(), info.get(), described)) devices.push_back(described);
    }
}

}  // namespace

std::vector<MidiPort> FindMidiPorts(snd_rawmidi_stream_t stream)
{
    QuietAlsa();
    std::vector<RawmidiDevice> devices;
    int card = -1;
    while (snd_card_next(&card) >= 0 && card >= 0) ReadCard(card, stream, devices);
    return ListMidiPorts(devices);
}
