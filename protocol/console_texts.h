#pragma once

// What identification and the transfer print (printf formats; the user documents quote each).
// A send that fails during identification says the port stage's TEXT_MIDI_OUT_MISSING.
#define TEXT_RESETTING "Please wait the system reset and retry again!\n\n"
#define TEXT_WAITING_RESTART "The controller is restarting. Waiting up to %d s for it to answer...\n"
#define TEXT_NOT_MATCHED "Error: The device and the upgrade file is not matched!\n\n"
#define TEXT_NOT_RESPONDING "\nFailed: Target is not responding.\n\n"
// During the transfer the progress line has no line end yet.
#define TEXT_MIDI_OUT_LOST "\nError: The MIDI Out of device is missing!\n\n"
#define TEXT_PROGRESS "\r                        \rTransferring.. %c %d%% done"
#define TEXT_CRC_ERROR "\nThe CRC of the download file is error!\n"
#define TEXT_DAMAGED "\nThe download file has been damaged!\n"
#define TEXT_VERIFY_ERROR "\nThe download file verifies error!\n"
#define TEXT_ERASE_ERROR "\nThe MCU erases error!\n"
#define TEXT_ERROR_IN_UPDATING "\nError in updating.\n"
#define TEXT_ALL_DONE "\rTransferring.. 100%% done.  \n"
#define TEXT_UPDATED "Target update successfully!\n\n"
#define TEXT_UPDATED_RESTARTING "Target update successfully!\n\nThe System is restart, please wait!\n\n"
// After the update the controller restarts with its new firmware and comes back as a new device.
#define TEXT_WAITING_BACK "Waiting up to %d s for the controller to come back...\n"
#define TEXT_BACK "The controller is back and answering on MIDI IN %s and MIDI OUT %s.\n\n"
#define TEXT_NOT_BACK                                                                         \
    "The controller did not come back in time. Unplug it and plug it in again; if it does " \
    "not start, run the update again.\n\n"
#define TEXT_REPLIED_TOO_LATE "\nError: The device replied too late. Please run the update again.\n"

#define PROTOCOL_CONSOLE_TEXTS                                                                \
    TEXT_RESETTING, TEXT_NOT_MATCHED, TEXT_NOT_RESPONDING, TEXT_MIDI_OUT_LOST, TEXT_PROGRESS,  \
        TEXT_CRC_ERROR, TEXT_DAMAGED, TEXT_VERIFY_ERROR, TEXT_ERASE_ERROR,                     \
        TEXT_ERROR_IN_UPDATING, TEXT_ALL_DONE, TEXT_UPDATED, TEXT_UPDATED_RESTARTING,           \
        TEXT_REPLIED_TOO_LATE, TEXT_WAITING_RESTART, TEXT_WAITING_BACK, TEXT_BACK, TEXT_NOT_BACK
