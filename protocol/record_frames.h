#pragma once

#include "image/firmware_image.h"

#include <stdint.h>

// Sends the record of `size` bytes at `position` as hex-text frames of CHUNK_BYTES bytes and a
// shorter last one, sleeping 1 ms after each. 0, or the result of the first frame that failed.
uint16_t SendRecord(const FirmwareImage* image, uint32_t position, uint16_t size);
