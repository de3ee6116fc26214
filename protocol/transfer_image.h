#pragma once

#include "image/firmware_image.h"

// Sends the checked image record by record, with progress, retries and the final outcome.
void TransferImage(const FirmwareImage* image);
