#pragma once

// The tool's console texts as the end-to-end tests expect them.
#include <string>

const std::string kBanner = "TAMBRELL Update V0.3 -> TAMBRELL quillstrand System\n";
const std::string kPorts = "MIDI IN DEVICE: quillstrand MIDI\r\nMIDI OUT DEVICE: quillstrand MIDI\r\n";
const std::string kNotResponding = "\nFailed: Target is not responding.\n\n";
const std::string kRepliedTooLate = "\nError: The device replied too late. Please run the update again.\n";
const std::string kDone = "\rTransferring.. 100% done.  \n";
const std::string kSuccess = kDone + "Target update successfully!\n\n";

inline std::string Opened(const std::string& name)
{
    return kBanner + "OK: File '" + name + "' is open.\n";
}

// The progress line drawn before an attempt: spinner position and percent.
inline std::string Progress(unsigned spinner, unsigned percent)
{
    static const char shapes[] = "--\\\\||//";
    return "\r" + std::string(24, ' ') + "\rTransferring.. " + shapes[spinner % 8] + " " +
           std::to_string(percent) + "% done";
}
