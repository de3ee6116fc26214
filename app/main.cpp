#include "app/command_line.h"
#include "platform/utf8_process.h"

int main(int argc, char** argv)
{
    char** arguments = StartInUtf8(&argc, argv);
    return RunCommandLine(argc, arguments);
}
