#include "tools/usb-device/urb_handler.h"

#include "tools/usb-device/usb_descriptors.h"

#include <algorithm>
#include <utility>

namespace {

const uint8_t GET_DESCRIPTOR = 6;
const uint8_t SET_CONFIGURATION = 9;
const uint8_t SET_INTERFACE = 11;
const uint8_t STANDARD_DEVICE_IN = 0x80;
const uint8_t STANDARD_DEVICE_OUT = 0x00;
const uint8_t STANDARD_INTERFACE_OUT = 0x01;

std::optional<std::vector<uint8_t>> Descriptor(uint16_t value, const std::string& product)
{
    switch (value >> 8) {
    case DEVICE_DESCRIPTOR: return DeviceDescriptor();
    case CONFIGURATION_DESCRIPTOR: return ConfigurationDescriptor();
    case STRING_DESCRIPTOR: return StringDescriptor(uint8_t(value & 0xFF), product);
    default: return std::nullopt;
    }
}

}  // namespace

UrbHandler::UrbHandler(std::string product) : product_(std::move(product)) {}

std::vector<uint8_t> UrbHandler::Control(const UsbipCommand& command) const
{
    const auto& setup = command.setup;
    const uint8_t requestType = setup[0], request = setup[1];
    const uint16_t value = uint16_t(setup[2] | setup[3] << 8);
    const uint16_t length = uint16_t(setup[6] | setup[7] << 8);
    if (requestType == STANDARD_DEVICE_IN && request == GET_DESCRIPTOR) {
        if (auto descriptor = Descriptor(value, product_)) {
            descriptor->resize(std::min<size_t>(descriptor->size(), length));
            return SubmitReply(command.seqnum, 0, uint32_t(descriptor->size()), *descriptor);
        }
    } else if ((requestType == STANDARD_DEVICE_OUT && request == SET_CONFIGURATION) ||
               (requestType == STANDARD_INTERFACE_OUT && request == SET_INTERFACE)) {
        return SubmitReply(command.seqnum, 0, 0);
    }
    return SubmitReply(command.seqnum, STATUS_STALL, 0);
}

UrbHandler::Outcome UrbHandler::Handle(const UsbipCommand& command)
{
    Outcome outcome;
    if (command.command == CMD_UNLINK) {
        // A transfer still waiting is taken back; one already answered is past unlinking.
        auto waiting =
            std::find_if(waitingIns_.begin(), waitingIns_.end(),
                         [&](const WaitingIn& in) { return in.seqnum == command.unlinkSeqnum; });
        int32_t status = 0;
        if (waiting != waitingIns_.end()) {
            waitingIns_.erase(waiting);
            status = STATUS_UNLINKED;
        }
        outcome.replies.push_back(UnlinkReply(command.seqnum, status));
    } else if (command.endpoint == 0) {
        outcome.replies.push_back(Control(command));
    } else if (command.direction == USBIP_DIR_OUT && command.endpoint == MIDI_OUT_ENDPOINT) {
        outcome.sysex = decoder_.Feed(command.outData.data(), command.outData.size());
        outcome.replies.push_back(SubmitReply(command.seqnum, 0, uint32_t(command.outData.size())));
    } else if (command.direction == USBIP_DIR_IN && command.endpoint == (MIDI_IN_ENDPOINT & 0x0F)) {
        waitingIns_.push_back({command.seqnum, command.bufferLength});
        outcome.replies = AnswerWaitingIns();
    } else {
        outcome.replies.push_back(SubmitReply(command.seqnum, STATUS_STALL, 0));
    }
    return outcome;
}

void UrbHandler::Send(const std::vector<uint8_t>& message)
{
    std::vector<uint8_t> packets = EncodeEventPackets(message);
    packetsToHost_.insert(packetsToHost_.end(), packets.begin(), packets.end());
}

std::vector<std::vector<uint8_t>> UrbHandler::AnswerWaitingIns()
{
    std::vector<std::vector<uint8_t>> replies;
    while (!packetsToHost_.empty() && !waitingIns_.empty()) {
        WaitingIn in = waitingIns_.front();
        waitingIns_.pop_front();
        size_t room = in.bufferLength / 4 * 4;  // whole packets
        size_t count = std::min(room, packetsToHost_.size());
        std::vector<uint8_t> data(packetsToHost_.begin(), packetsToHost_.begin() + long(count));
        packetsToHost_.erase(packetsToHost_.begin(), packetsToHost_.begin() + long(count));
        replies.push_back(SubmitReply(in.seqnum, 0, uint32_t(count), data));
    }
    return replies;
}
