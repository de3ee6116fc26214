#include "app/run_update.h"

#include "app/finish_run.h"
#include "image/firmware_image.h"
#include "midi/port_stage.h"
#include "platform/timer_resolution.h"
#include "protocol/identify.h"
#include "protocol/transfer_image.h"

#include <stdio.h>

int RunUpdate()
{
    FirmwareImage image;
    char name[IMAGE_NAME_SIZE];
    uint8_t modelCode = 0;

    printf("TAMBRELL Update V0.3 -> TAMBRELL quillstrand System\n");
    if (!FindImageFile(name) || !CheckImageName(name, &modelCode) || !LoadImage(name, &image) ||
        !ValidateImage(&image)) {
        return FinishRun(false);
    }
    RequestMillisecondTimer();
    if (OpenPorts() && Identify(modelCode)) TransferImage(&image);
    return FinishRun(true);
}
