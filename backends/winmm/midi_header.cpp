#include "backends/winmm/midi_header.h"

bool IsHeaderUsable(const MIDIHDR* header, UINT size)
{
    return header != nullptr && size >= sizeof(MIDIHDR) && header->lpData != nullptr &&
           header->dwBufferLength > 0;
}

MMRESULT PrepareHeader(MIDIHDR* header, UINT size)
{
    if (!IsHeaderUsable(header, size)) return MMSYSERR_INVALPARAM;
    if (header->dwFlags & MHDR_PREPARED) return MMSYSERR_NOERROR;
    header->dwFlags = (header->dwFlags & ~(MHDR_DONE | MHDR_INQUEUE)) | MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT UnprepareHeader(MIDIHDR* header, UINT size)
{
    if (!IsHeaderUsable(header, size)) return MMSYSERR_INVALPARAM;
    if (header->dwFlags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT QueueHeader(MIDIHDR* header, UINT size)
{
    if (!IsHeaderUsable(header, size)) return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & MHDR_PREPARED)) return MIDIERR_UNPREPARED;
    if (header->dwFlags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
    header->dwBytesRecorded = 0;
    header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
    return MMSYSERR_NOERROR;
}

MMRESULT CheckSendHeader(const MIDIHDR* header, UINT size)
{
    if (!IsHeaderUsable(header, size)) return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & MHDR_PREPARED)) return MIDIERR_UNPREPARED;
    if (header->dwFlags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
    return MMSYSERR_NOERROR;
}
