#pragma once

// Comparisons that fold ASCII letters only, so no locale can change which names match. Here,
// below the image and MIDI layers, as both match names the system gives them with them.
inline char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

inline bool AsciiStartsWithIgnoringCase(const char* text, const char* prefix)
{
    for (; *prefix; ++text, ++prefix) {
        if (AsciiLower(*text) != AsciiLower(*prefix)) return false;
    }
    return true;
}

inline bool AsciiContainsIgnoringCase(const char* text, const char* part)
{
    for (; *text; ++text) {
        if (AsciiStartsWithIgnoringCase(text, part)) return true;
    }
    return *part == '\0';
}
