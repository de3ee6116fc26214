#include "app/run_update.h"

#include "app/finish_run.h"
#include "image/firmware_image.h"
#include "midi/port_stage.h"
#include "platform/timer_resolution.h"
#include "protocol/identify.h"
#include "protocol/transfer_image.h"

#include <stdio.h>

static void PrintBanner()
{
    printf("TAMBRELL Update V0.3 -> TAMBRELL quillstrand System\n");
}

// Everything after the image has been named: `path` is opened, `name` is its file name.
static int UpdateWith(const char* path, const char* name)
{
    FirmwareImage image;
    uint8_t modelCode = 0;
    if (!CheckImageName(name, &modelCode) || !LoadImage(path, &image) || !ValidateImage(&image)) {
        return FinishRun(false, EXIT_IMAGE_FAILED);
    }
    RequestMillisecondTimer();
    ExitStatus status = OpenPorts() ? Identify(modelCode) : EXIT_PORTS_FAILED;
    if (status == EXIT_OK) status = TransferImage(&image);
    return FinishRun(true, status);
}

int RunUpdate()
{
    PrintBanner();
    char name[IMAGE_NAME_SIZE];
    if (!FindImageFile(name)) return FinishRun(false, EXIT_IMAGE_FAILED);
    return UpdateWith(name, name);
}

// The path is used where the system put it, so any path the system takes works; only its file
// name has to fit the name buffer.
int RunUpdateOf(const char* path)
{
    PrintBanner();
    const char* name = ImageFileName(path);
    if (!ImageNameFits(name)) return FinishRun(false, EXIT_IMAGE_FAILED);
    return UpdateWith(path, name);
}
