#pragma once

// Prints a console text (a printf format) whose "%s" arguments are names in UTF-8, so that each
// shows as given: a Windows console is written in UTF-16, whatever its code page.
void PrintNamed(const char* format, ...);
