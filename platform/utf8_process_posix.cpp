#include "platform/utf8_process.h"

// Arguments and the terminal are UTF-8 already (or bytes the tool passes on unchanged).
char** StartInUtf8(int*, char** argv)
{
    return argv;
}
