#include "tests/support/run_tool.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

ToolOutput RunTool(const std::string& program, const std::filesystem::path& folder,
                   const std::vector<std::string>& environment)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
        if (chdir(folder.c_str()) != 0) _exit(126);
        execl(program.c_str(), program.c_str(), (char*)nullptr);
        _exit(127);
    }
    close(pipeFds[1]);
    ToolOutput output;
    char chunk[4096];
    ssize_t got;
    while ((got = read(pipeFds[0], chunk, sizeof chunk)) != 0) {
        if (got > 0) output.console.append(chunk, size_t(got));
        else if (errno != EINTR) break;
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status)) output.exitStatus = WEXITSTATUS(status);
    return output;
}
