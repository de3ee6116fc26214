#pragma once

#include <stdint.h>

// Asks the device which model it is; it answers F0 <code> F7.
const uint8_t IdentifyRequest[7] = {0x35, 0x62, 0x0E, 0x71, 0x48, 0x13, 0x59};

// The model code the device answers identification with when it takes this image family.
const uint8_t MODEL_CODE = 0x34;
const uint8_t REPLY_RESETTING = 0x15;

// Replies to a record.
const uint8_t REPLY_RECORD_OK = 0x1A;
const uint8_t REPLY_CRC_ERROR = 0x20;
const uint8_t REPLY_DAMAGED = 0x21;
const uint8_t REPLY_DAMAGED_ALT = 0x22;
const uint8_t REPLY_VERIFY_ERROR = 0x24;
const uint8_t REPLY_ERASE_ERROR = 0x25;
const uint8_t REPLY_COMPLETE = 0x77;

// Record bytes per full data frame: 46 hex characters.
const unsigned CHUNK_BYTES = 23;
// Consecutive failed attempts at one record that end the run.
const unsigned MAX_RETRIES = 20;
