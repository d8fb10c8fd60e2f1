#pragma once
// Our own small MIDI driver layer. The ports sit on this, never on an OS API
// directly; each backend (loopback, ALSA raw MIDI, JACK) implements it, and
// the system driver lists all available backends together.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace vessa::midi {

inline constexpr std::uint8_t kSysExStart = 0xF0;

// The input port's one receive buffer; a longer SysEx message reaches it in
// pieces of this size.
inline constexpr std::uint32_t kReceiveBufferSize = 8192;

// Set in MidiHeader::flags once the driver has finished with the buffer.
inline constexpr std::uint32_t kHeaderDone = 1;

// Describes one SysEx buffer handed between a port and a driver.
struct MidiHeader {
  std::uint8_t* data = nullptr;
  std::uint32_t bufferLength = 0;
  std::atomic<std::uint32_t> bytesRecorded{0};
  std::atomic<std::uint32_t> flags{0};
};

enum class InputEvent {
  kLongData,   // a filled SysEx buffer, or the empty hand-back on reset
  kShortData,  // a channel or system message; the ports ignore it
};

// Called by the driver on its own thread. For kLongData, header is the buffer
// that was added with AddBuffer, now owned by the callee again.
using InputCallback = void (*)(void* instance, InputEvent event, MidiHeader* header);

// One open input device.
class InputConnection {
 public:
  virtual ~InputConnection() = default;
  // Gives the driver a receive buffer. It fills it with one complete SysEx
  // message (or the first bufferLength bytes of a longer one), sets
  // bytesRecorded and kHeaderDone, and hands it back through the callback.
  virtual bool AddBuffer(MidiHeader* header) = 0;
  virtual bool Start() = 0;
  virtual bool Stop() = 0;
  // Hands every buffer the driver holds back through the callback, with
  // bytesRecorded 0 and kHeaderDone set, before it returns.
  virtual bool Reset() = 0;
  // After Close returns true no callback runs any more.
  virtual bool Close() = 0;
};

// One open output device.
class OutputConnection {
 public:
  virtual ~OutputConnection() = default;
  // Sends one complete SysEx message. Returns true once every byte has been
  // taken by the backend, false on error or when `limit` ran out first.
  virtual bool Send(const std::uint8_t* data, std::uint32_t length,
                    std::chrono::milliseconds limit) = 0;
  virtual bool Close() = 0;
};

class MidiDriver {
 public:
  virtual ~MidiDriver() = default;
  virtual std::uint32_t InputCount() = 0;
  virtual std::string InputName(std::uint32_t index) = 0;
  virtual std::unique_ptr<InputConnection> OpenInput(std::uint32_t index, InputCallback callback,
                                                     void* instance) = 0;
  virtual std::uint32_t OutputCount() = 0;
  virtual std::string OutputName(std::uint32_t index) = 0;
  virtual std::unique_ptr<OutputConnection> OpenOutput(std::uint32_t index) = 0;
};

}  // namespace vessa::midi
