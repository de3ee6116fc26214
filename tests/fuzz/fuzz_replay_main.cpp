// Feeds every file of the named folders (and any named file) to the fuzz target it is linked
// with, once each: the seed corpus and saved crash reproducers run on every build, with any
// compiler, without libFuzzer.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static std::vector<fs::path> InputsIn(const fs::path& argument)
{
    std::vector<fs::path> inputs;
    if (fs::is_directory(argument)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(argument)) {
            if (entry.is_regular_file()) inputs.push_back(entry.path());
        }
        std::sort(inputs.begin(), inputs.end());
    } else {
        inputs.push_back(argument);
    }
    return inputs;
}

int main(int argc, char** argv)
{
    // All named up front: a fuzz target may change the current folder.
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!fs::exists(argv[i])) {
            fprintf(stderr, "fuzz replay: %s: no such file or folder\n", argv[i]);
            return 1;
        }
        for (const fs::path& input : InputsIn(fs::absolute(argv[i]))) inputs.push_back(input);
    }
    size_t replayed = 0;
    for (const fs::path& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        if (!file) {
            fprintf(stderr, "fuzz replay: %s: cannot be read\n", input.string().c_str());
            return 1;
        }
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        fprintf(stderr, "fuzz replay: %s\n", input.string().c_str());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++replayed;
    }
    fprintf(stderr, "fuzz replay: %lu inputs, no fault\n", (unsigned long)replayed);
    return replayed > 0 ? 0 : 1;
}
