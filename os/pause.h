#pragma once

// The prompt of the pause where no command interpreter gives its own (the user documents quote
// it).
#define PAUSE_PROMPT "Press any key to continue . . . "

// Keeps the console open until a key is pressed; what was printed before is flushed first.
void PauseConsole();
