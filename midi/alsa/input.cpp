#include "midi/alsa/input.h"

#include <cerrno>
#include <utility>
#include <vector>

#include "midi/alsa/raw_midi.h"

namespace vessa::midi::alsa {
namespace {

// An open raw MIDI input handle, closed with the source.
class RawMidiSource : public ByteSource {
 public:
  explicit RawMidiSource(snd_rawmidi_t* handle) : handle_(handle) {}
  ~RawMidiSource() override { snd_rawmidi_close(handle_); }
  RawMidiSource(const RawMidiSource&) = delete;
  RawMidiSource& operator=(const RawMidiSource&) = delete;

  std::vector<pollfd> PollDescriptors() override { return RawMidiPollDescriptors(handle_); }

  long Read(std::uint8_t* buffer, std::size_t size) override {
    const ssize_t got = snd_rawmidi_read(handle_, buffer, size);
    if (got > 0) return got;
    return (got == -EAGAIN || got == -EINTR) ? 0 : -1;
  }

 private:
  snd_rawmidi_t* handle_;
};

}  // namespace

StreamInput::StreamInput(std::unique_ptr<ByteSource> source, InputCallback callback, void* instance)
    : source_(std::move(source)),
      delivery_(callback, instance),
      reader_(*source_,
              [this](std::span<const std::uint8_t> message) { delivery_.Deliver(message); }) {}

StreamInput::~StreamInput() {
  Close();
}

bool StreamInput::AddBuffer(MidiHeader* header) {
  return delivery_.AddBuffer(header);
}

bool StreamInput::Start() {
  if (closed_) return false;
  // Deliveries are open before the first byte is read, so none is dropped.
  delivery_.Start();
  return reader_.Start();
}

bool StreamInput::Stop() {
  if (closed_) return false;
  reader_.Stop();
  delivery_.Stop();
  return true;
}

bool StreamInput::Reset() {
  if (closed_) return false;
  reader_.Stop();
  delivery_.Reset();
  return true;
}

bool StreamInput::Close() {
  if (closed_) return true;
  reader_.Stop();
  delivery_.Close();
  source_.reset();  // frees the device for the next open at once
  closed_ = true;
  return true;
}

std::unique_ptr<InputConnection> OpenRawMidiInput(const std::string& device, InputCallback callback,
                                                  void* instance) {
  snd_rawmidi_t* handle = nullptr;
  if (snd_rawmidi_open(&handle, nullptr, device.c_str(), SND_RAWMIDI_NONBLOCK) < 0) {
    return nullptr;
  }
  return std::make_unique<StreamInput>(std::make_unique<RawMidiSource>(handle), callback, instance);
}

}  // namespace vessa::midi::alsa
