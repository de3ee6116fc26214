// The pause on a real terminal: a pseudo-terminal stands in for the console.
#include "os/pause.h"
#include "tests/support/image_text.h"
#include "tests/support/temp_folder.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
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

const std::string kPrompt = "Press any key to continue . . . ";

// The exit status of `child` once it has ended by itself within a second; -1 if it had to be killed.
int ExitStatusOf(pid_t child)
{
    int status = 0;
    for (int tries = 0; tries < 100; ++tries) {
        if (waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        usleep(10000);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

bool SameSettings(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_lflag == b.c_lflag &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

TEST(Pause, WaitsForOneKeyOnATerminalAndLeavesItAsItWas)
{
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
        std::printf("after\n");
        std::fflush(stdout);
        _exit(SameSettings(before, after) ? 0 : 3);
    }

    std::string shown = ReadUntil(terminal, kPrompt);
    EXPECT_EQ(shown, "Target update successfully!\r\n\r\n" + kPrompt);
    // Still waiting: nothing more until a key comes.
    pollfd quiet{terminal, POLLIN, 0};
    EXPECT_EQ(poll(&quiet, 1, 200), 0);

    ASSERT_EQ(write(terminal, "q", 1), 1);
    EXPECT_EQ(ReadUntil(terminal, "after\r\n"), "\r\nafter\r\n");
    EXPECT_EQ(ExitStatusOf(child), 0) << "terminal not restored";
    close(terminal);
}

// The whole program as a user starts it from a console: every run ends at the pause, whatever its
// outcome, and Ctrl-C there is just the key that ends it. The test keeps the terminal's far side
// open, so the settings the program leaves behind can be read after it has ended.
TEST(Pause, EndsEveryRunOfTheProgramAndCtrlCThereLeavesTheTerminalAsItWas)
{
    struct Case {
        const char* program;
        bool withImage;
        const char* key;
        std::string lastMessage;
        int exitStatus;
    };
    const Case cases[] = {
        {TAMBRELL_UPDATE_SIM_EXE, true, "q", "Target update successfully!\r\n\r\n", 0},
        {TAMBRELL_UPDATE_EXE, false, "\x03", "Error: File '*.kit' is not found.\r\n\r\n", 1},
    };
    for (const Case& run : cases) {
        TempFolder folder;
        if (run.withImage) folder.Write("quillstrand.kit", ToImageText(MakeRecord({1, 2, 3})));
        int terminal = -1, farSide = -1;
        ASSERT_EQ(openpty(&terminal, &farSide, nullptr, nullptr, nullptr), 0);
        termios before;
        tcgetattr(farSide, &before);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(terminal);
            login_tty(farSide);
            setenv("TAMBRELL_SIM", "clock=virtual", 1);
            if (chdir(folder.path().c_str()) != 0) _exit(126);
            execl(run.program, run.program, (char*)nullptr);
            _exit(127);
        }

        std::string shown = ReadUntil(terminal, kPrompt);
        EXPECT_EQ(shown.substr(shown.size() - std::min(shown.size(), run.lastMessage.size() + kPrompt.size())),
                  run.lastMessage + kPrompt)
            << run.program;
        pollfd quiet{terminal, POLLIN, 0};
        EXPECT_EQ(poll(&quiet, 1, 200), 0);
        EXPECT_EQ(waitpid(child, nullptr, WNOHANG), 0) << run.program << " did not wait";

        ASSERT_EQ(write(terminal, run.key, 1), 1);
        EXPECT_EQ(ExitStatusOf(child), run.exitStatus) << run.program;
        termios after;
        tcgetattr(farSide, &after);
        EXPECT_TRUE(SameSettings(before, after)) << run.program << " left the terminal changed";
        close(farSide);
        close(terminal);
    }
}

// Options answer at once, a script as well as a user at a prompt: none of them waits for a key.
TEST(Pause, NoOptionWaitsForAKey)
{
    for (const char* option : {"--help", "--version", "--list", "--bogus"}) {
        int terminal = -1;
        pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
        ASSERT_GE(child, 0);
        if (child == 0) {
            execl(TAMBRELL_UPDATE_EXE, TAMBRELL_UPDATE_EXE, option, (char*)nullptr);
            _exit(127);
        }
        EXPECT_EQ(ReadUntil(terminal, kPrompt).find(kPrompt), std::string::npos) << option;
        EXPECT_EQ(ExitStatusOf(child), std::string(option) == "--bogus" ? 64 : 0) << option;
        close(terminal);
    }
}

}  // namespace
