// The test programs' main in WebAssembly. A program that suspends itself (a Sleep over Web MIDI)
// returns from main early and its real result is lost, so the result leaves through exit, which
// ends the runtime and the Node process with it.
#include <gtest/gtest.h>

#include <stdlib.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    exit(RUN_ALL_TESTS());
}
