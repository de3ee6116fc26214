#pragma once

#include "platform/winmm.h"

#include <stdint.h>

// The life of one input buffer on an open input, the same for the update's port and for the
// ports the controller search listens on.

// Describes `buffer` in `header`, prepares it and queues it: 0, or the first call's error, with
// nothing left prepared. An input that cannot queue its buffer cannot receive.
MMRESULT QueueInputBuffer(HMIDIIN handle, MIDIHDR* header, uint8_t* buffer, DWORD size);
// Straight back to the service after a callback, ready for the next message.
void RequeueInputBuffer(HMIDIIN handle, MIDIHDR* header);
// Stops input, takes the buffer back from the service and closes the port. The caller has already
// stopped its callback from queueing the buffer again.
void CloseInputWithBuffer(HMIDIIN handle, MIDIHDR* header);
