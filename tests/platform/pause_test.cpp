// The pause on a real terminal: a pseudo-terminal stands in for the console.
#include "platform/pause.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// What the terminal shows until `text` appears, or until nothing more comes for 5 s.
std::string ReadUntil(int terminal, const std::string& text)
{
    std::string seen;
    char chunk[256];
    pollfd ready{terminal, POLLIN, 0};
    while (seen.find(text) == std::string::npos && poll(&ready, 1, 5000) > 0) {
        ssize_t got = read(terminal, chunk, sizeof chunk);
        if (got <= 0) break;
        seen.append(chunk, size_t(got));
    }
    return seen;
}

TEST(Pause, WaitsForOneKeyOnATerminalAndLeavesItAsItWas)
{
    const std::string prompt = "Press any key to continue . . . ";
    int terminal = -1;
    pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        termios before;
        tcgetattr(STDIN_FILENO, &before);
        std::printf("Target update successfully!\n\n");
        PauseConsole();
        termios after;
        tcgetattr(STDIN_FILENO, &after);
        bool restored = before.c_lflag == after.c_lflag &&
                        std::memcmp(before.c_cc, after.c_cc, sizeof before.c_cc) == 0;
        std::printf("after\n");
        std::fflush(stdout);
        _exit(restored ? 0 : 3);
    }

    std::string shown = ReadUntil(terminal, prompt);
    EXPECT_EQ(shown, "Target update successfully!\r\n\r\n" + prompt);
    // Still waiting: nothing more until a key comes.
    pollfd quiet{terminal, POLLIN, 0};
    EXPECT_EQ(poll(&quiet, 1, 200), 0);

    ASSERT_EQ(write(terminal, "q", 1), 1);
    EXPECT_EQ(ReadUntil(terminal, "after\r\n"), "\r\nafter\r\n");
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == 0) {
        usleep(200000);
        if (waitpid(child, &status, WNOHANG) == 0) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "terminal not restored";
    close(terminal);
}

}  // namespace
