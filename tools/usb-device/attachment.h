#pragma once

#include "controller/controller_session.h"
#include "tools/common/device_run.h"

#include <functional>
#include <string>

// One time the device is plugged in: the transfers of one connection to the host controller.
// Each starts with no transfer or queued packet of an earlier one, as the host sees a new device.

enum class AttachmentEnd {
    Stopped,    // the program was asked to stop
    HostLeft,   // the host ended the connection
    Unplugged,  // the script unplugged the controller at a frame
    Left,       // the controller left to restart or was away: it comes back as a new device
};

// Serves the host on `socket` for `device` (with the USB product string `product`) until the
// attachment ends; `afterTurn` runs after each turn of serving. After the controller has left, the
// attachment lasts a moment longer, in which the host's transfers are answered but its messages
// reach nothing.
AttachmentEnd ServeAttachment(int socket, ControllerSession& device, const MsClock& clock,
                              const std::string& product, const std::function<void()>& afterTurn);
