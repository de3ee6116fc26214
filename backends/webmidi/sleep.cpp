// Sleep in a page. The pause after a frame only moves the page's clock on: the next frame is
// handed to the browser at once, to leave 1 ms later, so that the browser keeps a record's pace.
// Any other Sleep lets the page go on (the whole program is suspended) until the clock is reached,
// then hands over the input that arrived meanwhile, as the callback thread of Windows' service
// would have done by then.
#include "backends/webmidi/input_delivery.h"
#include "backends/webmidi/midi_bridge.h"

void WINAPI Sleep(DWORD dwMilliseconds)
{
    if (!WebMidiPause(dwMilliseconds)) return;
    WebMidiWait();
    DeliverArrivedInput();
}
