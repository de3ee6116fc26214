// Prints the version resource of a program as Windows reads it for the file's Properties: the
// fixed versions, then every string of its first translation, one "name value" a line.
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

const char* const kStringNames[] = {"FileDescription", "FileVersion",    "InternalName",
                                    "LegalCopyright",  "OriginalFilename", "ProductName",
                                    "ProductVersion"};

void PrintVersion(const char* name, DWORD high, DWORD low)
{
    printf("%s %u.%u.%u.%u\n", name, HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: exe_version_probe PROGRAM\n");
        return 2;
    }
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeA(argv[1], &unused);
    std::vector<char> info(size);
    if (size == 0 || !GetFileVersionInfoA(argv[1], 0, size, info.data())) {
        printf("no version resource\n");
        return 1;
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) &&
        length >= sizeof *fixed) {
        PrintVersion("fixed-file-version", fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        PrintVersion("fixed-product-version", fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    }

    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof *translation) {
        printf("no translation\n");
        return 1;
    }
    for (const char* name : kStringNames) {
        char path[96];
        snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
                 translation->codePage, name);
        char* value = nullptr;
        if (VerQueryValueA(info.data(), path, reinterpret_cast<void**>(&value), &length)) {
            printf("%s %s\n", name, value);
        }
    }
    return 0;
}
