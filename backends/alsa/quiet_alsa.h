// alsa-lib prints some failures to standard error on its own; the tool's console is its own.
#pragma once

// Installs a handler that drops alsa-lib's messages. Safe to call often, from any thread.
void QuietAlsa();
