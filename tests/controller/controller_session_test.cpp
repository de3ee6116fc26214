// The controller as a transport carries it: the firmware, its frames and messages, its unplug.
#include "controller/controller_session.h"

#include "controller/controller_script.h"
#include "controller/script_words.h"
#include "tests/support/image_text.h"
#include "world/run_report.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using Bytes = std::vector<uint8_t>;
using Messages = std::vector<Bytes>;

const Bytes IDENTIFY = {0xF0, 0x35, 0x62, 0x0E, 0x71, 0x48, 0x13, 0x59, 0xF7};
const Bytes MODEL = {0xF0, 0x34, 0xF7};
const Bytes OK = {0xF0, 0x1A, 0xF7};

// A record short enough for one data frame: its bytes as hex text between F0 and F7.
Bytes Frame(const Bytes& record)
{
    static const char digits[] = "0123456789ABCDEF";
    Bytes frame = {0xF0};
    for (uint8_t byte : record) {
        frame.push_back(uint8_t(digits[byte >> 4]));
        frame.push_back(uint8_t(digits[byte & 15]));
    }
    frame.push_back(0xF7);
    return frame;
}

ControllerSession Session(const std::string& script)
{
    ControllerSetup setup;
    ReadScript(script, {[&](const std::string& key, const std::string& value) {
                   return ReadControllerStatement(setup, key, value);
               }});
    return ControllerSession(setup);
}

TEST(ControllerSession, AnswersAndReportsLikeTheSimulatedController)
{
    ControllerSession device = Session("delay=5");
    const Bytes record = MakeRecord({0x12, 0x34});

    EXPECT_EQ(device.WaitMs(0, 10), 10);
    EXPECT_TRUE(device.Receive(IDENTIFY, 0));
    EXPECT_EQ(device.WaitMs(3, 10), 2);
    EXPECT_EQ(device.TakeDue(4), Messages{});
    EXPECT_EQ(device.TakeDue(5), Messages{MODEL});
    EXPECT_TRUE(device.Receive(Frame(record), 6));
    EXPECT_EQ(device.WaitMs(20, 10), 0);
    EXPECT_EQ(device.TakeDue(20), Messages{OK});

    RunCounts counts = LinkReport(device);
    EXPECT_EQ(counts.framesSent, (Messages{IDENTIFY, Frame(record)}));
    EXPECT_EQ(counts.messagesDelivered, (Messages{MODEL, OK}));
    EXPECT_EQ(counts.identifyRequests, 1u);
    EXPECT_EQ(counts.acceptedRecords, 1u);
    EXPECT_EQ(counts.flash, record);
}

TEST(ControllerSession, SendsWhatTheScriptPutsAheadOfAnAnswer)
{
    ControllerSession device = Session("before=1.1:F0 20; slow=1.1:5");
    EXPECT_TRUE(device.Receive(IDENTIFY, 0));
    EXPECT_EQ(device.TakeDue(0), Messages{MODEL});
    EXPECT_TRUE(device.Receive(Frame(MakeRecord({0x12})), 1));
    EXPECT_EQ(device.TakeDue(1), (Messages{{0xF0, 0x20}}));
    EXPECT_EQ(device.TakeDue(5), Messages{});
    EXPECT_EQ(device.TakeDue(6), Messages{OK});
}

TEST(ControllerSession, VanishesAtTheUnplugFrameWithoutTakingIt)
{
    ControllerSession device = Session("unplug=3; delay=5");
    const Bytes first = MakeRecord({0x01});
    const Bytes second = MakeRecord({0x02});

    EXPECT_TRUE(device.Receive(IDENTIFY, 0));
    EXPECT_EQ(device.TakeDue(5), Messages{MODEL});
    EXPECT_TRUE(device.Receive(Frame(first), 6));
    EXPECT_FALSE(device.Vanished());
    // The answer to the first record is still on its way when the third frame comes.
    EXPECT_FALSE(device.Receive(Frame(second), 7));
    EXPECT_TRUE(device.Vanished());
    EXPECT_EQ(device.TakeDue(100), Messages{});
    EXPECT_FALSE(device.Receive(Frame(second), 101));

    RunCounts counts = LinkReport(device);
    EXPECT_EQ(counts.framesSent, (Messages{IDENTIFY, Frame(first)}));
    EXPECT_EQ(counts.messagesDelivered, Messages{MODEL});
    EXPECT_EQ(counts.flash, first);
}

}  // namespace

namespace {

const Bytes RESTARTING = {0xF0, 0x15, 0xF7};
const Bytes COMPLETE = {0xF0, 0x77, 0xF7};

// Asks the session who it is at `nowMs` and takes what it says at once: nothing while it is away.
Messages Identify(ControllerSession& device, uint64_t nowMs)
{
    device.Away(nowMs);
    if (!device.Receive(IDENTIFY, nowMs)) return {};
    return device.TakeDue(nowMs);
}

TEST(ControllerSession, RestartsAfterItsLastAnswerAsANewDeviceThatIsBusyAWhile)
{
    const Bytes record = MakeRecord({0x12, 0x34});
    ControllerSession device = Session("size=6; restart=100:50");
    EXPECT_EQ(device.Appearances(), 1u);
    ASSERT_TRUE(device.Receive(Frame(record), 0));
    // Not before its answer has left: a device that left first could not say it has the firmware.
    EXPECT_FALSE(device.Away(0));
    EXPECT_EQ(device.TakeDue(0), Messages{COMPLETE});
    EXPECT_TRUE(device.Away(0));
    EXPECT_EQ(device.NextMove(), 100u);
    EXPECT_EQ(Identify(device, 99), Messages{});
    EXPECT_EQ(Identify(device, 100), Messages{RESTARTING});
    EXPECT_EQ(device.Appearances(), 2u);
    EXPECT_EQ(Identify(device, 150), Messages{MODEL});
    EXPECT_EQ(device.Firmware().Flash(), record);
}

}  // namespace
