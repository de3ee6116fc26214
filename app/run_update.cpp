#include "app/run_update.h"

#include "app/console_texts.h"
#include "app/finish_run.h"
#include "image/firmware_image.h"
#include "midi/port_stage.h"
#include "os/timer_resolution.h"
#include "protocol/comeback_wait.h"
#include "protocol/identify.h"
#include "protocol/messages.h"
#include "protocol/transfer_image.h"

#include <stdio.h>

static void PrintBanner()
{
    printf(TEXT_BANNER);
}

// One run owns one image. Not on the stack: its 128 KiB are more than a page's program has there.
static FirmwareImage image;

// The image stage once the image has been named: `path` is opened, `name` is its file name.
static bool ImagePasses(const char* path, const char* name)
{
    return CheckImageName(name) && LoadImage(path, &image) && ValidateImage(&image);
}

static ExitStatus StatusOf(StageOutcome outcome)
{
    switch (outcome) {
    case STAGE_PASSED:
    case STAGE_RESTARTS: return EXIT_OK;
    case STAGE_PORTS_FAILED: return EXIT_PORTS_FAILED;
    default: return EXIT_DEVICE_FAILED;
    }
}

static int UpdateWith(const char* path, const char* name)
{
    if (!ImagePasses(path, name)) return FinishRun(false, EXIT_IMAGE_FAILED);
    RequestMillisecondTimer();
    if (!OpenPorts(IdentifyRequest, sizeof IdentifyRequest)) return FinishRun(true, EXIT_PORTS_FAILED);
    // Every image whose name passes the check is meant for the one model this tool knows.
    bool answersMayLag = false;
    StageOutcome outcome = Identify(MODEL_CODE, &answersMayLag);
    if (outcome == STAGE_PASSED) outcome = TransferImage(&image, answersMayLag);
    // The controller itself said it has the whole firmware: it is updated whether or not it is
    // seen coming back.
    if (outcome == STAGE_RESTARTS) AwaitComeback(MODEL_CODE);
    return FinishRun(true, StatusOf(outcome));
}

int RunUpdate()
{
    PrintBanner();
    char name[IMAGE_NAME_SIZE];
    if (!FindImageFile(name)) return FinishRun(false, EXIT_IMAGE_FAILED);
    return UpdateWith(name, name);
}

int CheckFoundImage()
{
    PrintBanner();
    char name[IMAGE_NAME_SIZE];
    const bool passes = FindImageFile(name) && ImagePasses(name, name);
    return FinishRun(false, passes ? EXIT_OK : EXIT_IMAGE_FAILED);
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
