#include "os/named_text.h"

#include <stdarg.h>
#include <stdio.h>

// Terminals show UTF-8; pipes and files get the names' bytes unchanged.
void PrintNamed(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    vprintf(format, arguments);
    va_end(arguments);
}
