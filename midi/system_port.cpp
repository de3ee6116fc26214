#include "midi/system_port.h"

#include "os/ascii.h"

static const char SYSTEM_PORT_PREFIX[] = "Microsoft";

bool IsSystemPort(const char* name)
{
    return AsciiStartsWithIgnoringCase(name, SYSTEM_PORT_PREFIX);
}
