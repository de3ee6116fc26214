#include "tools/usb-device/vhci_port.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>

namespace {

std::string Read(const std::filesystem::path& file)
{
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A folder standing for the host controller's sysfs folder, named as the kernel names it.
std::string Controller(const TempFolder& folder, const std::string& status)
{
    std::filesystem::path controller = folder.path() / "vhci_hcd.0";
    std::filesystem::create_directory(controller);
    std::ofstream(controller / "status") << status;
    return controller;
}

const char HEADER[] = "hub port sta spd dev      sockfd local_busid\n";

}  // namespace

// The first free USB 2 port is taken (a busy one and the USB 3 hub's are passed over); the kernel
// is told that port, a socket of this process, the device's id on it and full speed; the card's
// place is named after the controller and the port counted from 1.
TEST(VhciPort, AttachesToTheFirstFreeUsb2Port)
{
    TempFolder folder;
    std::string controller = Controller(folder, std::string(HEADER) +
        "hs  0000 006 002 00010002 000003 1-1\n"
        "ss  0008 004 000 00000000 000000 0-0\n"
        "hs  0001 004 000 00000000 000000 0-0\n"
        "hs  0002 004 000 00000000 000000 0-0\n");
    VhciPort port(controller);
    std::smatch fields;
    std::string attached = Read(controller + "/attach");
    ASSERT_TRUE(std::regex_match(attached, fields, std::regex("1 (\\d+) 65538 2"))) << attached;
    EXPECT_GE(port.Socket(), 0);
    EXPECT_EQ("usb-vhci_hcd.0-2", port.UsbPath());
}

// No free USB 2 port, or no controller at all: the device says where it failed, never plugs.
TEST(VhciPort, SaysWhyItCannotPlugIn)
{
    TempFolder folder;
    std::string full = Controller(folder, std::string(HEADER) +
        "hs  0000 006 002 00010002 000003 1-1\n"
        "ss  0008 004 000 00000000 000000 0-0\n");
    try {
        VhciPort port(full);
        FAIL() << "plugged into a full controller";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(full + "/attach: no free port took the device", std::string(error.what()));
    }
    try {
        VhciPort port((folder.path() / "absent").string());
        FAIL() << "plugged into no controller";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ((folder.path() / "absent/status").string() + ": No such file or directory",
                  std::string(error.what()));
    }
}

// /proc/asound/cards names the card by its USB path in its second line.
TEST(VhciPort, FindsItsCardByUsbPath)
{
    const std::string cards =
        " 0 [Dummy          ]: Dummy - Dummy\n"
        "                      Dummy 1\n"
        " 1 [MIDI           ]: USB-Audio - quillstrand MIDI\n"
        "                      TAMBRELL quillstrand MIDI at usb-vhci_hcd.0-1, full speed\n"
        " 2 [MIDI_1         ]: USB-Audio - quillstrand MIDI\n"
        "                      TAMBRELL quillstrand MIDI at usb-vhci_hcd.0-12, full speed\n";
    EXPECT_EQ(1, CardAt(cards, "usb-vhci_hcd.0-1"));
    EXPECT_EQ(2, CardAt(cards, "usb-vhci_hcd.0-12"));
    EXPECT_EQ(std::nullopt, CardAt(cards, "usb-vhci_hcd.0-2"));
}
