#pragma once
// A JACK client of our own with one MIDI input and one MIDI output port, for a
// virtual unit or a test peer in another process. Other clients, and our own
// port lists, see it by its client name.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace vessa::midi::jack {

class VirtualPortPair {
 public:
  virtual ~VirtualPortPair() = default;
  // Sends one complete message from the output port; blocks until the JACK
  // process cycle has taken it. False when `limit` ran out first, when the
  // message is empty or longer than 16,383 bytes, or the server is gone.
  virtual bool Send(std::span<const std::uint8_t> message, std::chrono::milliseconds limit) = 0;
  virtual const std::string& ClientName() const = 0;
  // Full "client:port" names, for connecting from elsewhere.
  virtual std::string InputPortName() const = 0;
  virtual std::string OutputPortName() const = 0;
};

// Called on the pair's own delivery thread with each complete SysEx message
// that reached the input port, in order of arrival, whole (no length limit
// short of the JACK buffer). Short messages are not passed on. The pair is
// handed in so that a reply can be sent from within the call.
using VirtualPortReceiver =
    std::function<void(VirtualPortPair& ports, std::span<const std::uint8_t> message)>;

// Opens a JACK client called exactly clientName with ports "in" and "out".
// Null when no server answers (none is started) or the name is taken.
std::unique_ptr<VirtualPortPair> OpenVirtualPorts(const std::string& clientName,
                                                  VirtualPortReceiver receiver);

}  // namespace vessa::midi::jack
