// Files that are there but cannot be read as an image: each refused at once with the system's
// reason, never called missing, and nothing read from them (a FIFO would hold the tool up). A
// folder named as the image is the image reader's own test.
#include "tests/e2e/console_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// As a user without special rights: root reads any file, whatever its permissions say.
ToolOutput RunAsUser(const fs::path& folder, std::vector<std::string> arguments)
{
    if (geteuid() != 0) return RunTool(TAMBRELL_UPDATE_EXE, folder, {}, arguments);
    arguments.insert(arguments.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", TAMBRELL_UPDATE_EXE});
    return RunTool("/usr/bin/setpriv", folder, {}, arguments);
}

TEST(UnreadableImage, IsRefusedAtOnceSayingWhy)
{
    TempFolder folder;
    fs::permissions(folder.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    std::string locked = folder.Write("quillstrand_v1.3.kit", "00 04 12 34 BA FF\r\n").string();
    fs::permissions(locked, fs::perms::none);
    ASSERT_EQ(mkfifo((folder.path() / "quillstrand_fifo.kit").c_str(), 0644), 0);

    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{locked}, "'" + locked + "' cannot be read: Permission denied"},
        // Found by the search too: the first .kit entry that is no folder.
        {{}, "'quillstrand_fifo.kit' cannot be read: Not a regular file"},
    };
    for (const auto& [arguments, message] : cases) {
        ToolOutput output = RunAsUser(folder.path(), arguments);
        EXPECT_EQ(output.console, kBanner + "Error: File " + message + ".\n\n");
        EXPECT_EQ(output.exitStatus, 1) << message;
    }
}

}  // namespace
