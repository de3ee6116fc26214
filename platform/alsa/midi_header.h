// The flag rules of MIDI headers, the same for input and output.
#pragma once

#include "platform/winmm.h"

bool IsHeaderUsable(const MIDIHDR* header, UINT size);
MMRESULT PrepareHeader(MIDIHDR* header, UINT size);
// Refused with MIDIERR_STILLPLAYING while the header is queued.
MMRESULT UnprepareHeader(MIDIHDR* header, UINT size);
