#include "os/utf8_arguments.h"

// Arguments are UTF-8 already, or bytes that the tool passes on unchanged.
char** Utf8Arguments(int*, char** argv)
{
    return argv;
}
