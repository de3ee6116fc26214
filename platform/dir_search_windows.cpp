#include "platform/dir_search.h"

#include <string.h>
#include <windows.h>

bool FindFirstEntry(const char* pattern, char name[ENTRY_NAME_SIZE])
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    strncpy(name, entry.cFileName, ENTRY_NAME_SIZE - 1);
    name[ENTRY_NAME_SIZE - 1] = '\0';
    return true;
}
