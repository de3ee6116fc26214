#pragma once

#include <optional>
#include <string>

// The device's plug: one end of a socketpair handed to the kernel's USB/IP virtual host
// controller on a free port, as if a cable had been plugged in there.
class VhciPort {
public:
    // Takes the first free USB 2 port of the controller whose sysfs folder is `controller`;
    // throws std::runtime_error with the system's message.
    explicit VhciPort(const std::string& controller = "/sys/devices/platform/vhci_hcd.0");
    ~VhciPort();
    VhciPort(const VhciPort&) = delete;
    VhciPort& operator=(const VhciPort&) = delete;

    int Socket() const { return socket_; }
    // Where the kernel places the device: "usb-vhci_hcd.0-N" in /proc/asound/cards (the
    // controller's name, then the root hub's port, counted from 1).
    std::string UsbPath() const;
    // Pulls the cable: the kernel sees the connection end and removes the device.
    void Unplug();

private:
    std::string controllerName_;
    int socket_ = -1;
    int port_ = -1;
};

// The number of the sound card at `usbPath` in the text of /proc/asound/cards.
std::optional<int> CardAt(const std::string& cards, const std::string& usbPath);
