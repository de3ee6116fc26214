#pragma once

// The whole update, from the banner to the pause, of the first image of the current folder.
// Returns the exit status the run ended with (app/exit_status.h).
int RunUpdate();
// The banner and the image stage of RunUpdate alone, with no MIDI call: EXIT_OK when the image
// would be sent, else EXIT_IMAGE_FAILED with the stage's message printed.
int CheckFoundImage();
// The same with the image at `path`, shown as given; its file name must pass the same checks.
int RunUpdateOf(const char* path);
