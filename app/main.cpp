#include "app/command_line.h"
#include "os/utf8_arguments.h"

int main(int argc, char** argv)
{
    char** arguments = Utf8Arguments(&argc, argv);
    return RunCommandLine(argc, arguments);
}
