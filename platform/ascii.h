#pragma once

// Prefix comparison that folds ASCII letters only, so no locale can change which names match.
// Here, below the image and MIDI layers, as both match names the system gives them with it.
inline bool AsciiStartsWithIgnoringCase(const char* text, const char* prefix)
{
    for (; *prefix; ++text, ++prefix) {
        char a = *text, b = *prefix;
        if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = char(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}
