#include "tests/support/run_tool.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <future>
#include <stdexcept>

namespace {

std::string NameOf(const std::string& variable)
{
    // Entries such as "=C:=C:\work" keep their leading '=' as part of the name.
    size_t equals = variable.find('=', 1);
    std::string name = variable.substr(0, equals);
    for (char& c : name) c = char(std::toupper((unsigned char)c));
    return name;
}

// This process's environment with `extra` added; a name given in `extra` replaces the inherited
// one (names are case-insensitive on Windows). The block is sorted, as CreateProcess expects.
std::string EnvironmentBlock(const std::vector<std::string>& extra)
{
    std::vector<std::string> variables;
    char* inherited = GetEnvironmentStringsA();
    for (const char* entry = inherited; *entry; entry += strlen(entry) + 1) variables.push_back(entry);
    FreeEnvironmentStringsA(inherited);

    for (const std::string& variable : extra) {
        std::string name = NameOf(variable);
        variables.erase(std::remove_if(variables.begin(), variables.end(),
                                       [&](const std::string& v) { return NameOf(v) == name; }),
                        variables.end());
        variables.push_back(variable);
    }
    std::stable_sort(variables.begin(), variables.end(),
                     [](const std::string& a, const std::string& b) { return NameOf(a) < NameOf(b); });

    std::string block;
    for (const std::string& variable : variables) block += variable + '\0';
    return block + '\0';
}

// The C runtime writes every "\n" of a text-mode stream as "\r\n": take out that one CR, so the
// console reads as the program printed it (a "\r\n" it printed itself comes out as "\r\r\n").
std::string WithoutTextModeCr(const std::string& console)
{
    std::string text;
    for (size_t i = 0; i < console.size(); ++i) {
        if (console[i] == '\r' && i + 1 < console.size() && console[i + 1] == '\n') continue;
        text += console[i];
    }
    return text;
}

std::string ReadAll(HANDLE readEnd)
{
    std::string text;
    char chunk[4096];
    DWORD got;
    while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
    CloseHandle(readEnd);
    return WithoutTextModeCr(text);
}

[[noreturn]] void Fail(const char* what)
{
    throw std::runtime_error(std::string(what) + " failed, error " + std::to_string(GetLastError()));
}

}  // namespace

ToolOutput RunTool(const std::string& program, const std::filesystem::path& folder,
                   const std::vector<std::string>& environment, const std::vector<std::string>& arguments)
{
    // Standard input is no console, so the tool never pauses: a prompt in the console is a fault.
    std::string block = EnvironmentBlock(environment);

    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd, writeEnd, errorsReadEnd, errorsWriteEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0) ||
        !CreatePipe(&errorsReadEnd, &errorsWriteEnd, &inheritable, 0)) {
        Fail("CreatePipe");
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errorsReadEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                             OPEN_EXISTING, 0, nullptr);
    if (nul == INVALID_HANDLE_VALUE) Fail("CreateFile NUL");

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = writeEnd;
    startup.hStdError = errorsWriteEnd;

    // The program is resolved against this process's folder before the child gets its own.
    std::string path = std::filesystem::absolute(program).string();
    // Each argument quoted, as Explorer passes a dropped file's path.
    std::string commandLine = "\"" + path + "\"";
    for (const std::string& argument : arguments) commandLine += " \"" + argument + "\"";
    PROCESS_INFORMATION child;
    BOOL started = CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, &block[0],
                                  folder.string().c_str(), &startup, &child);
    CloseHandle(writeEnd);
    CloseHandle(errorsWriteEnd);
    CloseHandle(nul);
    if (!started) {
        CloseHandle(readEnd);
        CloseHandle(errorsReadEnd);
        Fail("CreateProcess");
    }
    CloseHandle(child.hThread);

    ToolOutput output;
    std::future<std::string> errors = std::async(std::launch::async, ReadAll, errorsReadEnd);
    output.console = ReadAll(readEnd);
    output.errors = errors.get();

    WaitForSingleObject(child.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(child.hProcess, &status);
    CloseHandle(child.hProcess);
    // A crash ends the process with its exception code (0xC0000005 and the like), not an exit.
    if (status < 0xC0000000u) output.exitStatus = int(status);
    return output;
}
