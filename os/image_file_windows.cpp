#include "os/image_file.h"

#include "os/utf16_windows.h"

#include <errno.h>
#include <io.h>
#include <string.h>
#include <windows.h>

FILE* OpenImageFile(const char* path, const char** reason)
{
    *reason = nullptr;
    const wchar_t* widePath = WidePath(path);
    if (!widePath) return nullptr;
    // Windows refuses to open a folder as "access denied": ask first, so the reason is the true one.
    DWORD attributes = GetFileAttributesW(widePath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *reason = strerror(EISDIR);
        return nullptr;
    }
    FILE* file = _wfopen(widePath, L"rb");
    if (!file) {
        if (errno != ENOENT) *reason = strerror(errno);
        return nullptr;
    }
    if (GetFileType((HANDLE)_get_osfhandle(_fileno(file))) != FILE_TYPE_DISK) {
        fclose(file);
        *reason = NOT_A_FILE_REASON;
        return nullptr;
    }
    return file;
}
