#pragma once

// The core holds every name in UTF-8. Where the system hands the command line over in another
// encoding, this gives the arguments in UTF-8 (their count in `*argc`); elsewhere it gives `argv`
// back unchanged.
char** Utf8Arguments(int* argc, char** argv);
