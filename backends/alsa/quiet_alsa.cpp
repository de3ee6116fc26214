#include "backends/alsa/quiet_alsa.h"

#include <alsa/asoundlib.h>

#include <mutex>

namespace {

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...)
{
}

}  // namespace

void QuietAlsa()
{
    static std::once_flag installed;
    std::call_once(installed, [] { snd_lib_error_set_handler(IgnoreAlsaError); });
}
