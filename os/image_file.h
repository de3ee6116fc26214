#pragma once

#include <stdio.h>

// The reason given for something that is there but is neither a folder nor a file (a FIFO, a
// device), which the system has no error of its own for.
#define NOT_A_FILE_REASON "Not a regular file"

// Opens the file at `path` (UTF-8, as the core holds every name) for reading in binary mode,
// only when it is a regular file that can be read: nothing is read from anything else, so a FIFO
// or a device never holds the tool up. Returns null when it cannot; `*reason` is then null when
// nothing is there, else the system's reason ("Permission denied", "Is a directory").
FILE* OpenImageFile(const char* path, const char** reason);
