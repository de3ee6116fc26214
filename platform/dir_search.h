#pragma once

// Room for any entry name the platforms can return (Windows' MAX_PATH).
const unsigned ENTRY_NAME_SIZE = 260;

// The first entry of the current folder matching `pattern` ("*" then a suffix), files and
// folders alike, in the order the platform's directory search returns them.
bool FindFirstEntry(const char* pattern, char name[ENTRY_NAME_SIZE]);
