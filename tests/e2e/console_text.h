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
inline const std::string kRestarts = kDone + "Target update successfully!\n\nThe System is restart, please wait!\n\n";
// The waits for the controller, of the default 30 s.
inline const std::string kWaitingConnected = "Waiting up to 30 s for the controller to be connected...\n";
inline const std::string kNoDevice = kWaitingConnected + "Error: Did not find the USB Audio device, please check!\n\n";
inline const std::string kWaitingRestart = "The controller is restarting. Waiting up to 30 s for it to answer...\n";
inline const std::string kResetting = "Please wait the system reset and retry again!\n\n";
inline const std::string kWaitingBack = "Waiting up to 30 s for the controller to come back...\n";
inline const std::string kBack =
    "The controller is back and answering on MIDI IN quillstrand MIDI and MIDI OUT quillstrand MIDI.\n\n";
inline const std::string kNotBack =
    "The controller did not come back in time. Unplug it and plug it in again; if it does not start, run the "
    "update again.\n\n";

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
