#include "tools/usb-device/vhci_port.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace {

const int FULL_SPEED = 2;
const int PORT_FREE = 4;  // VDEV_ST_NULL

std::runtime_error SystemError(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

// The USB 2 ports the status file lists as free ("hs  0000 004 ..." lines).
std::vector<int> FreePorts(const std::string& controller)
{
    std::ifstream status(controller + "/status");
    if (!status) throw SystemError(controller + "/status");
    std::vector<int> ports;
    std::string line, hub;
    int port = 0, state = 0;
    std::getline(status, line);  // the column names
    while (std::getline(status, line)) {
        std::istringstream fields(line);
        if (fields >> hub >> port >> state && hub == "hs" && state == PORT_FREE) {
            ports.push_back(port);
        }
    }
    return ports;
}

// The kernel takes the socket from the writer's own file table, so the write comes first.
bool Attach(const std::string& controller, int port, int socket)
{
    std::ofstream attach(controller + "/attach");
    attach << port << ' ' << socket << ' ' << ((1 << 16) | (port + 1)) << ' ' << FULL_SPEED;
    attach.flush();
    return bool(attach);
}

}  // namespace

VhciPort::VhciPort(const std::string& controller)
    : controllerName_(std::filesystem::path(controller).filename())
{
    for (int port : FreePorts(controller)) {
        int pair[2];
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0) throw SystemError("socketpair");
        bool attached = Attach(controller, port, pair[1]);
        close(pair[1]);
        if (attached) {
            socket_ = pair[0];
            port_ = port;
            return;
        }
        // Another device took the port between the listing and the attach.
        close(pair[0]);
    }
    throw std::runtime_error(controller + "/attach: no free port took the device");
}

VhciPort::~VhciPort() { Unplug(); }

std::string VhciPort::UsbPath() const
{
    return "usb-" + controllerName_ + "-" + std::to_string(port_ + 1);
}

void VhciPort::Unplug()
{
    if (socket_ < 0) return;
    shutdown(socket_, SHUT_RDWR);
    close(socket_);
    socket_ = -1;
}

std::optional<int> CardAt(const std::string& cards, const std::string& usbPath)
{
    // Each card takes two lines: " N [id ]: driver - name", then its long name ending with
    // "at <usb path>, <speed>".
    std::istringstream lines(cards);
    std::string line;
    std::optional<int> card;
    while (std::getline(lines, line)) {
        std::istringstream first(line);
        int number;
        if (line.find('[') != std::string::npos && first >> number) {
            card = number;
        } else if (card && line.find(" at " + usbPath + ",") != std::string::npos) {
            return card;
        }
    }
    return std::nullopt;
}
