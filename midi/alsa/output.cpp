#include "midi/alsa/output.h"

#include <cerrno>
#include <utility>

#include "midi/alsa/raw_midi.h"

namespace vessa::midi::alsa {
namespace {

// An open raw MIDI output handle, closed with the sink.
class RawMidiSink : public ByteSink {
 public:
  RawMidiSink(snd_rawmidi_t* handle, std::size_t bufferSize)
      : handle_(handle), bufferSize_(bufferSize) {}
  ~RawMidiSink() override { snd_rawmidi_close(handle_); }
  RawMidiSink(const RawMidiSink&) = delete;
  RawMidiSink& operator=(const RawMidiSink&) = delete;

  long Write(const std::uint8_t* data, std::size_t size) override {
    const ssize_t taken = snd_rawmidi_write(handle_, data, size);
    if (taken >= 0) return taken;
    return (taken == -EAGAIN || taken == -EINTR) ? 0 : -1;
  }

  bool WaitWritable(std::chrono::milliseconds limit) override {
    std::vector<pollfd> descriptors = RawMidiPollDescriptors(handle_);
    if (descriptors.empty()) return false;
    return WaitForRoom(descriptors, limit);
  }

  // The kernel's own drain waits without a limit of ours, so ask instead how
  // much of the ring buffer is free until all of it is.
  bool Drain(std::chrono::milliseconds limit) override {
    bool failed = false;
    const bool drained = PollUntil(
        [this, &failed] {
          snd_rawmidi_status_t* status = nullptr;
          snd_rawmidi_status_alloca(&status);
          if (snd_rawmidi_status(handle_, status) < 0) failed = true;
          return failed || snd_rawmidi_status_get_avail(status) >= bufferSize_;
        },
        limit);
    return drained && !failed;
  }

 private:
  snd_rawmidi_t* handle_;
  std::size_t bufferSize_;
};

std::size_t OutputBufferSize(snd_rawmidi_t* handle) {
  snd_rawmidi_params_t* params = nullptr;
  snd_rawmidi_params_alloca(&params);
  if (snd_rawmidi_params_current(handle, params) < 0) return 0;
  return snd_rawmidi_params_get_buffer_size(params);
}

}  // namespace

bool StreamOutput::Send(const std::uint8_t* data, std::uint32_t length,
                        std::chrono::milliseconds limit) {
  if (sink_ == nullptr || data == nullptr) return false;
  return WriteAll(*sink_, std::span(data, length), limit);
}

bool StreamOutput::Close() {
  if (sink_ == nullptr) return false;
  sink_.reset();
  return true;
}

std::unique_ptr<OutputConnection> OpenRawMidiOutput(const std::string& device) {
  snd_rawmidi_t* handle = nullptr;
  if (snd_rawmidi_open(nullptr, &handle, device.c_str(), SND_RAWMIDI_NONBLOCK) < 0) {
    return nullptr;
  }
  const std::size_t bufferSize = OutputBufferSize(handle);
  if (bufferSize == 0) {
    snd_rawmidi_close(handle);
    return nullptr;
  }
  return std::make_unique<StreamOutput>(std::make_unique<RawMidiSink>(handle, bufferSize));
}

}  // namespace vessa::midi::alsa
