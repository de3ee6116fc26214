#pragma once

// Between the core's UTF-8 and the UTF-16 of Windows' wide-character calls, which take every
// name Windows allows (the ANSI calls only those of the system's code page).

// `path` as UTF-16 in a buffer of this module's, good until the next call; null when it is no
// valid UTF-8 or longer than any path Windows takes.
const wchar_t* WidePath(const char* path);

// `wide` as UTF-8 in `text` of `size` bytes; false when it does not fit.
bool Utf8Text(const wchar_t* wide, char* text, unsigned size);
