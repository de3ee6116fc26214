// The flag rules of MIDI headers, the same for input and output.
#pragma once

#include "platform/winmm.h"

bool IsHeaderUsable(const MIDIHDR* header, UINT size);
MMRESULT PrepareHeader(MIDIHDR* header, UINT size);
// Refused with MIDIERR_STILLPLAYING while the header is queued.
MMRESULT UnprepareHeader(MIDIHDR* header, UINT size);
// Marks an input header queued, empty; the caller puts it at the end of its queue when this
// succeeds.
MMRESULT QueueHeader(MIDIHDR* header, UINT size);
// A header that an output can send now: prepared and not queued.
MMRESULT CheckSendHeader(const MIDIHDR* header, UINT size);
