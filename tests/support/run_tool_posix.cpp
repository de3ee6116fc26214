#include "tests/support/run_tool.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <future>
#include <stdexcept>

static std::string ReadAll(int fd)
{
    std::string text;
    char chunk[4096];
    ssize_t got;
    while ((got = read(fd, chunk, sizeof chunk)) != 0) {
        if (got > 0) text.append(chunk, size_t(got));
        else if (errno != EINTR) break;
    }
    close(fd);
    return text;
}

ToolOutput RunTool(const std::string& program, const std::filesystem::path& folder,
                   const std::vector<std::string>& environment, const std::vector<std::string>& arguments)
{
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (int fd : {out[0], out[1], err[0], err[1]}) close(fd);
        for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
        if (chdir(folder.c_str()) != 0) _exit(126);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    ToolOutput output;
    std::future<std::string> errors = std::async(std::launch::async, ReadAll, err[0]);
    output.console = ReadAll(out[0]);
    output.errors = errors.get();
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status)) output.exitStatus = WEXITSTATUS(status);
    return output;
}
