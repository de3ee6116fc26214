#pragma once

#include <stdint.h>

// The model code the device answers identification with when it takes this image family.
const uint8_t MODEL_CODE = 0x34;
