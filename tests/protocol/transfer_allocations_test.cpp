// The record transfer in this process against the simulated controller: from the first frame to
// the last answer the tool's own code allocates nothing on its thread (what the simulator
// allocates for the frames and answers it carries is left out).
#include "backends/sim/sim_script.h"
#include "backends/sim/simulator.h"
#include "backends/sim/tool_allocations.h"
#include "midi/midi_link.h"
#include "midi/port_stage.h"
#include "protocol/identify.h"
#include "protocol/messages.h"
#include "protocol/transfer_image.h"
#include "tests/support/image_text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

FirmwareImage image;

TEST(TransferAllocations, NoneFromTheFirstFrameToTheLastAnswer)
{
    // Ten records of 100 bytes; the third refused once, the fifth answered late: the retries and
    // the refusal's message are on the way too.
    std::vector<uint8_t> bytes;
    for (unsigned r = 0; r < 10; ++r) {
        std::vector<uint8_t> record = MakeRecord(std::vector<uint8_t>(96, uint8_t(r * 17)));
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    std::memcpy(image.bytes, bytes.data(), bytes.size());
    image.count = uint16_t(bytes.size());
    ConfigureSimulator(ParseSimScript("clock=virtual; reply=3.1:20; slow=5.1:1100"));

    testing::internal::CaptureStdout();
    bool answersMayLag = false;
    ASSERT_TRUE(OpenPorts(IdentifyRequest, sizeof IdentifyRequest));
    ASSERT_EQ(Identify(MODEL_CODE, &answersMayLag), STAGE_PASSED);
    StartCountingToolAllocations();
    StageOutcome outcome = TransferImage(&image, answersMayLag);
    unsigned long allocations = StopCountingToolAllocations();
    CloseMidiIn();
    CloseMidiOut();
    std::string console = testing::internal::GetCapturedStdout();

    EXPECT_NE(console.find("The CRC of the download file is error!"), std::string::npos);
    EXPECT_EQ(SimulatorCounts().flash.size(), bytes.size() + 100) << "the late record kept twice";
    EXPECT_EQ(outcome, STAGE_DEVICE_FAILED);
    EXPECT_EQ(allocations, 0u);
}

}  // namespace
