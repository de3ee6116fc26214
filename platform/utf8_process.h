#pragma once

// The core holds every name in UTF-8. Where the system hands the command line over in another
// encoding, this gives the arguments in UTF-8 (their count in `*argc`) and has a console show the
// UTF-8 that the tool prints; elsewhere it gives `argv` back unchanged.
char** StartInUtf8(int* argc, char** argv);
