#include "tests/support/temp_folder.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

TempFolder::TempFolder()
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("tambrell-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path TempFolder::Write(const std::string& name, const std::string& contents) const
{
    fs::path file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out << contents;
    return file;
}
