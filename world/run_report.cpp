#include "world/run_report.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace {

const size_t FLASH_BYTES_PER_LINE = 32;

struct Scalar {
    const char* key;
    uint64_t RunCounts::*field;
};

const Scalar SCALARS[] = {
    {"failed-sends", &RunCounts::failedSends},
    {"foreign-frames", &RunCounts::foreignFrames},
    {"identify-requests", &RunCounts::identifyRequests},
    {"accepted-records", &RunCounts::acceptedRecords},
    {"dropped-records", &RunCounts::droppedRecords},
    {"messages-dropped", &RunCounts::messagesDropped},
    {"inputs-opened", &RunCounts::inputsOpened},
    {"inputs-closed", &RunCounts::inputsClosed},
    {"outputs-opened", &RunCounts::outputsOpened},
    {"outputs-closed", &RunCounts::outputsClosed},
    {"inputs-open", &RunCounts::inputsOpen},
    {"outputs-open", &RunCounts::outputsOpen},
    {"headers-prepared", &RunCounts::headersPrepared},
    {"headers-queued", &RunCounts::headersQueued},
    {"sleeps", &RunCounts::sleeps},
    {"slept-ms", &RunCounts::sleptMs},
    {"clock-ms", &RunCounts::clockMs},
};

std::string Hex(const uint8_t* bytes, size_t count)
{
    std::string text;
    char pair[4];
    for (size_t i = 0; i < count; ++i) {
        snprintf(pair, sizeof pair, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += pair;
    }
    return text;
}

std::vector<uint8_t> Bytes(std::istream& line)
{
    std::vector<uint8_t> bytes;
    std::string item;
    while (line >> item) bytes.push_back(uint8_t(std::stoul(item, nullptr, 16)));
    return bytes;
}

}  // namespace

std::string FormatReport(const RunCounts& counts)
{
    std::ostringstream out;
    for (const auto& frame : counts.framesSent) out << "frame " << Hex(frame.data(), frame.size()) << "\n";
    for (const auto& message : counts.messagesDelivered) {
        out << "message " << Hex(message.data(), message.size()) << "\n";
    }
    for (size_t at = 0; at < counts.flash.size(); at += FLASH_BYTES_PER_LINE) {
        size_t count = std::min(FLASH_BYTES_PER_LINE, counts.flash.size() - at);
        out << "flash " << Hex(counts.flash.data() + at, count) << "\n";
    }
    for (const Scalar& scalar : SCALARS) out << scalar.key << " " << counts.*scalar.field << "\n";
    return out.str();
}

RunCounts ParseReport(const std::string& text)
{
    RunCounts counts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string key;
        if (!(fields >> key)) continue;
        if (key == "frame") {
            counts.framesSent.push_back(Bytes(fields));
        } else if (key == "message") {
            counts.messagesDelivered.push_back(Bytes(fields));
        } else if (key == "flash") {
            std::vector<uint8_t> bytes = Bytes(fields);
            counts.flash.insert(counts.flash.end(), bytes.begin(), bytes.end());
        } else {
            auto scalar = std::find_if(std::begin(SCALARS), std::end(SCALARS),
                                       [&](const Scalar& s) { return key == s.key; });
            if (scalar == std::end(SCALARS) || !(fields >> counts.*scalar->field)) {
                throw std::runtime_error("unknown report line: " + line);
            }
        }
    }
    return counts;
}

void ReportController(const ControllerSession& controller, RunCounts& counts)
{
    const DeviceFirmware& firmware = controller.Firmware();
    counts.identifyRequests = firmware.IdentifyRequests();
    counts.acceptedRecords = firmware.AcceptedRecords();
    counts.droppedRecords = firmware.DroppedRecords();
    counts.flash = firmware.Flash();
}

RunCounts LinkReport(const ControllerSession& controller)
{
    RunCounts counts;
    counts.framesSent = controller.Received();
    counts.messagesDelivered = controller.Sent();
    ReportController(controller, counts);
    return counts;
}
