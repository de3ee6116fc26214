#pragma once

#include <filesystem>
#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `contents` byte for byte to the file `name` in this folder.
    std::filesystem::path Write(const std::string& name, const std::string& contents) const;

private:
    std::filesystem::path path_;
};
