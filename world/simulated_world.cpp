#include "world/simulated_world.h"

#include "world/run_report.h"

#include <algorithm>

SimulatedWorld::SimulatedWorld() : SimulatedWorld(MidiDevices(), ControllerSetup()) {}

SimulatedWorld::SimulatedWorld(const MidiDevices& devices, const ControllerSetup& first) : devices_(devices)
{
    // A transport that counts what it carries needs no log of the controllers' own.
    for (const NamedController& controller : ControllersBehind(devices, first)) {
        Behind behind{controller.name, ControllerSession(controller.setup, false)};
        behind.inputs = size_t(std::count(devices.inputs.begin(), devices.inputs.end(), controller.name));
        behind.outputs = size_t(std::count(devices.outputs.begin(), devices.outputs.end(), controller.name));
        controllers_.push_back(std::move(behind));
    }
    for (size_t i = 0; i < devices_.inputs.size(); ++i) inputKeys_.push_back(nextKey_++);
    for (size_t i = 0; i < devices_.outputs.size(); ++i) outputKeys_.push_back(nextKey_++);
    MoveTo(0);
}

uint64_t SimulatedWorld::PortKey(bool input, size_t port) const
{
    return (input ? inputKeys_ : outputKeys_)[port];
}

std::optional<size_t> SimulatedWorld::PortListed(bool input, uint64_t key) const
{
    const std::vector<uint64_t>& keys = input ? inputKeys_ : outputKeys_;
    auto found = std::find(keys.begin(), keys.end(), key);
    if (found == keys.end()) return std::nullopt;
    return size_t(found - keys.begin());
}

bool SimulatedWorld::MoveTo(uint64_t nowMs)
{
    bool changed = false;
    for (Behind& controller : controllers_) {
        const bool away = controller.session.Away(nowMs);
        const unsigned appearance = away ? 0 : controller.session.Appearances();
        if (appearance == controller.listedAppearance) continue;
        if (controller.listedAppearance != 0) Unlist(controller.name);
        if (appearance != 0) List(controller);
        controller.listedAppearance = appearance;
        changed = true;
    }
    return changed;
}

void SimulatedWorld::Unlist(const std::string& name)
{
    for (bool input : {true, false}) {
        std::vector<std::string>& names = input ? devices_.inputs : devices_.outputs;
        std::vector<uint64_t>& keys = input ? inputKeys_ : outputKeys_;
        for (size_t i = names.size(); i-- > 0;) {
            if (names[i] != name) continue;
            names.erase(names.begin() + long(i));
            keys.erase(keys.begin() + long(i));
        }
    }
}

// As a device that arrives: its ports at the end of each list, under new keys.
void SimulatedWorld::List(const Behind& controller)
{
    for (size_t i = 0; i < controller.inputs; ++i) {
        devices_.inputs.push_back(controller.name);
        inputKeys_.push_back(nextKey_++);
    }
    for (size_t i = 0; i < controller.outputs; ++i) {
        devices_.outputs.push_back(controller.name);
        outputKeys_.push_back(nextKey_++);
    }
}

const std::vector<std::string>& SimulatedWorld::Ports(bool input) const
{
    return input ? devices_.inputs : devices_.outputs;
}

bool SimulatedWorld::OpenFails(bool input, size_t port) const
{
    const std::vector<uint32_t>& failing = input ? devices_.failingInputOpens : devices_.failingOutputOpens;
    return std::find(failing.begin(), failing.end(), port) != failing.end();
}

int SimulatedWorld::ControllerBehind(bool input, size_t port) const
{
    const std::string& name = Ports(input)[port];
    for (size_t i = 0; i < controllers_.size(); ++i) {
        if (controllers_[i].name == name) return int(i);
    }
    return -1;
}

bool SimulatedWorld::Connected(bool input, size_t port) const
{
    int controller = ControllerBehind(input, port);
    return controller < 0 || !controllers_[size_t(controller)].session.Vanished();
}

bool SimulatedWorld::Reaches(size_t output)
{
    int controller = ControllerBehind(false, output);
    if (controller < 0 || Controller(controller).Arrives()) return true;
    ++failedSends_;
    return false;
}

std::vector<WorldMessage> SimulatedWorld::Carry(size_t output, const std::vector<uint8_t>& frame)
{
    framesSent_.push_back(frame);
    if (ControllerBehind(false, output) != 0 && !IsIdentifyRequest(frame)) ++foreignFrames_;
    const std::string& name = Ports(false)[output];
    std::vector<WorldMessage> back;
    for (const MidiDevices::Loop& loop : devices_.loops) {
        if (loop.from == name) back.push_back({loop.to, frame});
    }
    for (const MidiDevices::AnsweringDevice& device : devices_.answering) {
        if (device.name == name) back.push_back({name, device.answer});
    }
    return back;
}

void SimulatedWorld::Take(size_t output, const std::vector<uint8_t>& frame, uint64_t nowMs)
{
    int controller = ControllerBehind(false, output);
    if (controller >= 0) Controller(controller).Take(frame, nowMs);
}

std::vector<WorldMessage> SimulatedWorld::TakeDue(uint64_t nowMs)
{
    std::vector<WorldMessage> due;
    for (size_t i = 0; i < controllers_.size(); ++i) {
        for (std::vector<uint8_t>& bytes : controllers_[i].session.TakeDue(nowMs)) {
            due.push_back({controllers_[i].name, std::move(bytes), int(i)});
        }
    }
    return due;
}

std::optional<uint64_t> SimulatedWorld::NextDue() const
{
    std::optional<uint64_t> next;
    for (const Behind& controller : controllers_) {
        std::optional<uint64_t> due = controller.session.NextDue();
        if (due && (!next || *due < *next)) next = due;
    }
    return next;
}

int SimulatedWorld::WaitMs(uint64_t nowMs, int limitMs) const
{
    int wait = limitMs;
    for (const Behind& controller : controllers_) wait = controller.session.WaitMs(nowMs, wait);
    return wait;
}

void SimulatedWorld::Report(RunCounts& counts) const
{
    counts.framesSent = framesSent_;
    counts.failedSends = failedSends_;
    counts.foreignFrames = foreignFrames_;
    ReportController(controllers_.front().session, counts);
}
