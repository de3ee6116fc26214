#include "os/image_file.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

FILE* OpenImageFile(const char* path, const char** reason)
{
    *reason = nullptr;
    // Non-blocking, or opening a FIFO would wait for a writer; a regular file ignores the flag.
    int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno != ENOENT && errno != ENOTDIR) *reason = strerror(errno);
        return nullptr;
    }
    struct stat status;
    if (fstat(descriptor, &status) != 0) {
        *reason = strerror(errno);
    } else if (S_ISDIR(status.st_mode)) {
        *reason = strerror(EISDIR);
    } else if (!S_ISREG(status.st_mode)) {
        *reason = NOT_A_FILE_REASON;
    } else {
        FILE* file = fdopen(descriptor, "rb");
        if (file) return file;
        *reason = strerror(errno);
    }
    close(descriptor);
    return nullptr;
}
