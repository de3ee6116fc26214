#include "world/midi_devices.h"

std::vector<NamedController> ControllersBehind(const MidiDevices& devices, const ControllerSetup& first)
{
    std::vector<NamedController> controllers = {{devices.controllerName, first}};
    for (const MidiDevices::OtherController& other : devices.otherControllers) {
        ControllerSetup another;
        another.firmware.model = other.model.value_or(first.firmware.model);
        controllers.push_back({other.name, another});
    }
    return controllers;
}
