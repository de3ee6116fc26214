#pragma once

#include <stdint.h>
#include <stdio.h>

// Reads one item as "%2X" would: white space skipped, then one or two hex digits of either case.
// Returns false at the end of the file or at any character that cannot begin a hex number
// (signs and an "0x" prefix included), which ends the image.
bool ReadHexItem(FILE* file, uint8_t* value);
