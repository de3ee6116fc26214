// Sleep in a page: the page goes on for the time asked (the whole program is suspended), then the
// input that arrived meanwhile is handed over before Sleep returns, as the callback thread of
// Windows' service would have done by then.
#include "platform/webmidi/input_delivery.h"
#include "platform/webmidi/midi_bridge.h"

void WINAPI Sleep(DWORD dwMilliseconds)
{
    WebMidiWait(dwMilliseconds);
    DeliverArrivedInput();
}
