#pragma once

// Keeps the console open until a key is pressed; what was printed before is flushed first.
void PauseConsole();
