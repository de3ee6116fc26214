#pragma once

#include "image/firmware_image.h"
#include "protocol/stage_outcome.h"

// Sends the checked image record by record, with progress, retries and the final outcome, which
// it returns. `answersMayLag`: an answer of the device may still be on its way before the first
// record goes out.
StageOutcome TransferImage(const FirmwareImage* image, bool answersMayLag);
