// Opening one direction of a rawmidi port. Input and output are always separate handles: a
// handle opened for both shares one descriptor, and with it the non-blocking mode.
#pragma once

#include "backends/alsa/alsa_output.h"
#include "backends/alsa/input_source.h"
#include "platform/winmm.h"

#include <memory>
#include <string>

MMRESULT OpenRawmidiInput(const std::string& address, std::unique_ptr<InputSource>& source);
MMRESULT OpenRawmidiOutput(const std::string& address, std::unique_ptr<OutputSink>& sink);
