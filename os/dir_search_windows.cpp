#include "os/dir_search.h"

#include "os/utf16_windows.h"

#include <windows.h>

bool FindFirstEntry(const char* pattern, char name[ENTRY_NAME_SIZE])
{
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(WidePath(pattern), &entry);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    do {
        found = !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                Utf8Text(entry.cFileName, name, ENTRY_NAME_SIZE);
    } while (!found && FindNextFileW(search, &entry));
    FindClose(search);
    return found;
}
