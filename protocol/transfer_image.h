#pragma once

#include "image/firmware_image.h"
#include "protocol/exit_status.h"

// Sends the checked image record by record, with progress, retries and the final outcome, which
// it returns as the run's status. `answersMayLag`: an answer of the device may still be on its
// way before the first record goes out.
ExitStatus TransferImage(const FirmwareImage* image, bool answersMayLag);
