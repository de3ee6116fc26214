#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ToolOutput {
    std::string console;  // everything written to standard output, byte for byte
    std::string errors;   // everything written to standard error
    int exitStatus = -1;  // -1 when the program did not exit normally
};

// Runs `program` with its current folder set to `folder`, standard input empty, the given extra
// environment ("NAME=value") and arguments, as a user would start it from a console in that folder.
ToolOutput RunTool(const std::string& program, const std::filesystem::path& folder,
                   const std::vector<std::string>& environment = {},
                   const std::vector<std::string>& arguments = {});
