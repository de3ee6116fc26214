#include "tools/seq-device/seq_port.h"

#include <poll.h>

#include <stdexcept>

namespace {

void Check(int result, const std::string& what)
{
    if (result < 0) throw std::runtime_error(what + ": " + snd_strerror(result));
}

snd_seq_addr_t FindPeer(snd_seq_t* seq, const std::string& peerName)
{
    snd_seq_client_info_t* client;
    snd_seq_port_info_t* port;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq, client) >= 0) {
        if (std::string(snd_seq_client_info_get_name(client)).rfind(peerName, 0) != 0) continue;
        snd_seq_port_info_set_client(port, snd_seq_client_info_get_client(client));
        snd_seq_port_info_set_port(port, -1);
        if (snd_seq_query_next_port(seq, port) >= 0) return *snd_seq_port_info_get_addr(port);
    }
    throw std::runtime_error(peerName + ": no such sequencer client");
}

}  // namespace

SeqPort::SeqPort(const std::string& peerName)
{
    Check(snd_seq_open(&seq_, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK), "sequencer");
    try {
        Check(snd_seq_set_client_name(seq_, "quillstrand device"), "client name");
        port_ = snd_seq_create_simple_port(
            seq_, "firmware",
            SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ | SND_SEQ_PORT_CAP_WRITE |
                SND_SEQ_PORT_CAP_SUBS_WRITE,
            SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        Check(port_, "port");
        snd_seq_addr_t peer = FindPeer(seq_, peerName);
        Check(snd_seq_connect_from(seq_, port_, peer.client, peer.port), "connect from " + peerName);
        Check(snd_seq_connect_to(seq_, port_, peer.client, peer.port), "connect to " + peerName);
    } catch (...) {
        snd_seq_close(seq_);
        throw;
    }
}

SeqPort::~SeqPort() { snd_seq_close(seq_); }

std::vector<std::vector<uint8_t>> SeqPort::Receive(int timeoutMs)
{
    std::vector<std::vector<uint8_t>> messages;
    if (snd_seq_event_input_pending(seq_, 1) == 0) {
        pollfd fds[4];
        int count = snd_seq_poll_descriptors(seq_, fds, 4, POLLIN);
        if (poll(fds, nfds_t(count), timeoutMs) <= 0) return messages;
    }
    snd_seq_event_t* event;
    int result;
    while ((result = snd_seq_event_input(seq_, &event)) >= 0) {
        if (event->type != SND_SEQ_EVENT_SYSEX) continue;
        auto complete = assembler_.Feed(static_cast<const uint8_t*>(event->data.ext.ptr),
                                        event->data.ext.len);
        messages.insert(messages.end(), complete.begin(), complete.end());
    }
    if (result != -EAGAIN) Check(result, "receive");
    return messages;
}

void SeqPort::Send(const std::vector<uint8_t>& sysex)
{
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    snd_seq_ev_set_source(&event, port_);
    snd_seq_ev_set_subs(&event);
    snd_seq_ev_set_direct(&event);
    snd_seq_ev_set_sysex(&event, sysex.size(), const_cast<uint8_t*>(sysex.data()));
    Check(snd_seq_event_output_direct(seq_, &event), "send");
}
