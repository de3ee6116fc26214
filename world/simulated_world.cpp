#include "world/simulated_world.h"

#include "world/run_report.h"

#include <algorithm>

SimulatedWorld::SimulatedWorld() : SimulatedWorld(MidiDevices(), ControllerSetup()) {}

SimulatedWorld::SimulatedWorld(const MidiDevices& devices, const ControllerSetup& first) : devices_(devices)
{
    // A transport that counts what it carries needs no log of the controllers' own.
    for (const NamedController& controller : ControllersBehind(devices, first)) {
        controllers_.push_back({controller.name, ControllerSession(controller.setup, false)});
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
