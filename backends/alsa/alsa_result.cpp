#include "backends/alsa/alsa_result.h"

#include <errno.h>

bool MeansDeviceGone(long error)
{
    return error == -ENODEV || error == -EIO;
}

MMRESULT ResultOfAlsaError(long error)
{
    if (MeansDeviceGone(error) || error == -ENOENT || error == -ENXIO) return MIDIERR_NODEVICE;
    if (error == -EBUSY) return MMSYSERR_ALLOCATED;
    if (error == -ENOMEM) return MMSYSERR_NOMEM;
    return MMSYSERR_ERROR;
}
