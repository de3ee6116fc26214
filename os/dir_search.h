#pragma once

// Room for any entry name the platforms can return: Windows' MAX_PATH UTF-16 units, each at most
// three bytes in UTF-8.
const unsigned ENTRY_NAME_SIZE = 3 * 260;

// The first file of the current folder whose name matches `pattern` ("*" then a suffix), in the
// order of the platform's directory search, as UTF-8. Folders are passed over: a folder is no
// image, and one named like an image must not hide the image beside it.
bool FindFirstEntry(const char* pattern, char name[ENTRY_NAME_SIZE]);
