#pragma once

// The tool's console texts as the end-to-end tests expect them. Inline: one object each, made
// before any test file's own constants built from them (Opened() is one function for all files).
#include <string>

inline const std::string kBanner = "TAMBRELL Update V0.3 -> TAMBRELL quillstrand System\n";
inline const std::string kPorts = "MIDI IN DEVICE: quillstrand MIDI\r\nMIDI OUT DEVICE: quillstrand MIDI\r\n";
inline const std::string kNotResponding = "\nFailed: Target is not responding.\n\n";
inline const std::string kRepliedTooLate = "\nError: The device replied too late. Please run the update again.\n";
inline const std::string kDone = "\rTransferring.. 100% done.  \n";
inline const std::string kSuccess = kDone + "Target update successfully!\n\n";

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
