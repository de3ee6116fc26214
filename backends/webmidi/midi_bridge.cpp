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

EM_JS(int, web_midi_listen, (int index, int on), { return webMidi.listen(index, on) ? 1 : 0; });

EM_JS(void, web_midi_close, (int input, int index), { webMidi.close(input, index); });

EM_JS(int, web_midi_next_size, (int index), {
    const message = webMidi.next(index);
    return message ? message.length : -1;
});

EM_JS(void, web_midi_take, (int index, uint8_t* buffer), {
    HEAPU8.set(webMidi.take(index), buffer);
});

EM_JS(int, web_midi_send, (int index, const uint8_t* bytes, int size), {
    return webMidi.send(index, HEAPU8.slice(bytes, bytes + size)) ? 1 : 0;
});

EM_JS(void, web_midi_clear, (int index), { webMidi.clear(index); });

EM_JS(int, web_midi_pause, (int ms), { return webMidi.pause(ms) ? 1 : 0; });

EM_ASYNC_JS(void, web_midi_wait, (), { await webMidi.wait(); });

EM_ASYNC_JS(void, web_midi_settle, (int input, int index), { await webMidi.settle(input, index); });

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

bool WebMidiListen(unsigned index, bool on)
{
    if (web_midi_listen(int(index), on) == 0) return false;
    // Stopping changes nothing of the port: only a start has an open to wait for.
    if (on) web_midi_settle(true, int(index));
    return true;
}

void WebMidiClose(bool input, unsigned index)
{
    web_midi_close(input, int(index));
    web_midi_settle(input, int(index));
}

bool WebMidiTake(unsigned index, std::vector<uint8_t>& message)
{
    int size = web_midi_next_size(int(index));
    if (size < 0) return false;
    message.resize(size_t(size));
    web_midi_take(int(index), message.data());
    return true;
}

bool WebMidiSend(unsigned index, const uint8_t* bytes, size_t size)
{
    return web_midi_send(int(index), bytes, int(size)) != 0;
}

void WebMidiClear(unsigned index)
{
    web_midi_clear(int(index));
}

bool WebMidiPause(DWORD ms)
{
    return web_midi_pause(int(ms)) != 0;
}

void WebMidiWait()
{
    web_midi_wait();
}
