#include "backends/webmidi/midi_bridge.h"

#include <emscripten.h>

namespace {

EM_JS(int, web_midi_port_count, (int input), { return webMidi.ports(input).length; });

EM_JS(int, web_midi_port_name, (int input, int index, char* name, int size), {
    const port = webMidi.ports(input)[index];
    if (!port) return 0;
    stringToUTF8(port.name ? port.name : "", name, size);
    return 1;
});

EM_JS(int, web_midi_in_use, (int input, int index), {
    return webMidi.inUse(input, index) ? 1 : 0;
});

EM_JS(int, web_midi_open, (int input, int index), { return webMidi.open(input, index); });

EM_JS(int, web_midi_listen, (int handle, int on), { return webMidi.listen(handle, on) ? 1 : 0; });

EM_ASYNC_JS(void, web_midi_close, (int handle), { await webMidi.close(handle); });

EM_JS(int, web_midi_next_size, (int handle), {
    const message = webMidi.next(handle);
    return message ? message.length : -1;
});

EM_JS(void, web_midi_take, (int handle, uint8_t* buffer), {
    HEAPU8.set(webMidi.take(handle), buffer);
});

EM_JS(int, web_midi_send, (int handle, const uint8_t* bytes, int size), {
    return webMidi.send(handle, HEAPU8.slice(bytes, bytes + size)) ? 1 : 0;
});

EM_JS(void, web_midi_clear, (int handle), { webMidi.clear(handle); });

EM_JS(int, web_midi_pause, (int ms), { return webMidi.pause(ms) ? 1 : 0; });

EM_ASYNC_JS(void, web_midi_wait, (), { await webMidi.wait(); });

EM_ASYNC_JS(void, web_midi_settle, (int handle), { await webMidi.settle(handle); });

}  // namespace

unsigned WebMidiPortCount(bool input)
{
    return unsigned(web_midi_port_count(input));
}

bool WebMidiPortName(bool input, UINT_PTR index, char (&name)[MAXPNAMELEN])
{
    if (index >= WebMidiPortCount(input)) return false;
    // Whole characters of at most 31 bytes and the terminating zero.
    return web_midi_port_name(input, int(index), name, MAXPNAMELEN) != 0;
}

bool WebMidiInUse(bool input, unsigned index)
{
    return web_midi_in_use(input, int(index)) != 0;
}

int WebMidiOpen(bool input, unsigned index)
{
    return web_midi_open(input, int(index));
}

bool WebMidiListen(int handle, bool on)
{
    if (web_midi_listen(handle, on) == 0) return false;
    // Stopping changes nothing of the port: only a start has an open to wait for.
    if (on) web_midi_settle(handle);
    return true;
}

void WebMidiClose(int handle)
{
    web_midi_close(handle);
}

bool WebMidiTake(int handle, std::vector<uint8_t>& message)
{
    int size = web_midi_next_size(handle);
    if (size < 0) return false;
    message.resize(size_t(size));
    web_midi_take(handle, message.data());
    return true;
}

bool WebMidiSend(int handle, const uint8_t* bytes, size_t size)
{
    return web_midi_send(handle, bytes, int(size)) != 0;
}

void WebMidiClear(int handle)
{
    web_midi_clear(handle);
}

bool WebMidiPause(DWORD ms)
{
    return web_midi_pause(int(ms)) != 0;
}

void WebMidiWait()
{
    web_midi_wait();
}
