#pragma once

// The tool's command line: no argument runs the update on the current folder's image, an image
// path runs it on that image, and the options answer before anything is loaded or any MIDI port
// is touched, without pausing. Returns the exit status.
int RunCommandLine(int argc, char** argv);
