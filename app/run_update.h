#pragma once

// The whole update, from the banner to the pause. Returns the exit status, always 0.
int RunUpdate();
