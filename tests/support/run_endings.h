#pragma once

// The messages a run can end with, the outcome each names, and the exit status it must come with.
#include <algorithm>
#include <iterator>
#include <regex>
#include <string>

struct RunEnding {
    const char* text;
    const char* outcome;
    int exitStatus;
};

const RunEnding kRunEndings[] = {
    {"\rTransferring.. 100% done.  \nTarget update successfully!\n\n", "updated", 0},
    {"\rTransferring.. 100% done.  \nTarget update successfully!\n\nThe System is restart, please wait!\n\n",
     "updated, device restarts", 0},
    {"Error: The upgrade file is error!\n\n", "image damaged", 1},
    {"Error: The fit file is not found.\n\n", "image misnamed", 1},
    {" is not found.\n\n", "no image", 1},
    {"Error: Did not find the USB Audio device, please check!\n\n", "no device", 2},
    {"Please remove the other USB audiol devices!\n\n", "more than one device", 2},
    {"Error: The MIDI In of device is missing!\n\n", "no input", 2},
    {"Error: The MIDI Out of device is missing!\n\n", "send failed", 2},
    {"\nFailed: Target is not responding.\n\n", "not responding", 3},
    {"Please wait the system reset and retry again!\n\n", "device restarting", 3},
    {"Error: The device and the upgrade file is not matched!\n\n", "other model", 3},
    {"\nError in updating.\n", "refused 20 times", 3},
    {"\nError: The device replied too late. Please run the update again.\n", "replied too late", 3},
};

// After an update that ends in a restart the tool may go on to say whether the controller came
// back: the console without that report, which names no outcome of its own (the status stays 0).
inline std::string WithoutComebackReport(const std::string& console)
{
    static const std::regex report(
        "Waiting up to [0-9]+ s for the controller to come back\\.\\.\\.\n"
        "(The controller is back and answering on MIDI IN [^\n]* and MIDI OUT [^\n]*\\.\n\n|"
        "The controller did not come back in time\\. Unplug it and plug it in again; if it does not "
        "start, run the update again\\.\n\n)$");
    std::smatch found;
    if (!std::regex_search(console, found, report)) return console;
    return console.substr(0, size_t(found.position(0)));
}

// The ending `console` ends with, or nullptr when it ends with none of them.
inline const RunEnding* EndingOf(const std::string& whole)
{
    const std::string console = WithoutComebackReport(whole);
    auto endsWith = [&](const RunEnding& ending) {
        std::string text = ending.text;
        return console.size() >= text.size() && console.compare(console.size() - text.size(), text.size(), text) == 0;
    };
    const RunEnding* found = std::find_if(std::begin(kRunEndings), std::end(kRunEndings), endsWith);
    return found == std::end(kRunEndings) ? nullptr : found;
}
