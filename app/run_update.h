#pragma once

// The whole update, from the banner to the pause, of the first image of the current folder.
// Returns the exit status the run ended with (protocol/exit_status.h).
int RunUpdate();
// The same with the image at `path`, shown as given; its file name must pass the same checks.
int RunUpdateOf(const char* path);
