#include "os/dir_search.h"

#include <dirent.h>
#include <string.h>
#include <sys/stat.h>

static unsigned char FoldUpper(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? (unsigned char)(c - 'a' + 'A') : c;
}

// Case-insensitive byte order, as Windows' file system lists a folder; exact bytes break ties
// so that the choice never depends on the order readdir happens to return.
static int CompareNames(const char* a, const char* b)
{
    const unsigned char* x = (const unsigned char*)a;
    const unsigned char* y = (const unsigned char*)b;
    for (; *x || *y; ++x, ++y) {
        if (FoldUpper(*x) != FoldUpper(*y)) return FoldUpper(*x) < FoldUpper(*y) ? -1 : 1;
    }
    return strcmp(a, b);
}

static bool EndsWithIgnoringCase(const char* name, const char* suffix)
{
    size_t nameLength = strlen(name), suffixLength = strlen(suffix);
    if (nameLength < suffixLength) return false;
    const char* tail = name + nameLength - suffixLength;
    for (size_t i = 0; i < suffixLength; ++i) {
        if (FoldUpper((unsigned char)tail[i]) != FoldUpper((unsigned char)suffix[i])) return false;
    }
    return true;
}

bool FindFirstEntry(const char* pattern, char name[ENTRY_NAME_SIZE])
{
    const char* suffix = pattern[0] == '*' ? pattern + 1 : pattern;
    DIR* folder = opendir(".");
    if (!folder) return false;
    bool found = false;
    while (const dirent* entry = readdir(folder)) {
        if (strlen(entry->d_name) >= ENTRY_NAME_SIZE) continue;
        if (!EndsWithIgnoringCase(entry->d_name, suffix)) continue;
        if (found && CompareNames(entry->d_name, name) >= 0) continue;
        // stat, not the entry's type: a link to a folder is a folder too.
        struct stat status;
        if (stat(entry->d_name, &status) == 0 && S_ISDIR(status.st_mode)) continue;
        strcpy(name, entry->d_name);
        found = true;
    }
    closedir(folder);
    return found;
}
