#pragma once
// One JACK client and the set of streams its process callback serves. The
// callback takes no lock: streams sit in a fixed table of atomic slots, and
// detaching one waits out any cycle that may still be using it.

#include <jack/jack.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace vessa::midi::jack {

// Work done once per JACK period on the server's real-time thread. It must
// not allocate, lock or block.
class ProcessTarget {
 public:
  virtual void Process(jack_nframes_t frames) = 0;

 protected:
  ~ProcessTarget() = default;
};

class JackClient {
 public:
  // Null when no server answers; never starts one and prints nothing.
  // exactName: fail rather than let the server rename the client.
  static std::shared_ptr<JackClient> Open(const std::string& name, bool exactName);
  ~JackClient();
  JackClient(const JackClient&) = delete;
  JackClient& operator=(const JackClient&) = delete;

  jack_client_t* Handle() const { return client_; }
  // Set once the server has gone away; the callback never runs again.
  bool ShutDown() const { return shutDown_.load(); }

  // A MIDI port of ours with a name unique within this client. Null on error.
  jack_port_t* RegisterMidiPort(const char* prefix, unsigned long flags);
  void UnregisterPort(jack_port_t* port);
  // Connects two ports by full name; true also when they already were.
  bool Connect(const char* source, const char* destination);

  // False when the table is full.
  bool Attach(ProcessTarget* target);
  // After it returns, no running or later cycle touches the target.
  void Detach(ProcessTarget* target);

 private:
  static constexpr std::size_t kMaxTargets = 64;

  explicit JackClient(jack_client_t* client) : client_(client) {}
  static int OnProcess(jack_nframes_t frames, void* self);
  static void OnShutdown(void* self);

  jack_client_t* const client_;
  std::array<std::atomic<ProcessTarget*>, kMaxTargets> targets_{};
  // Odd while a cycle runs; Detach waits for it to move on.
  std::atomic<std::uint64_t> cycle_{0};
  std::atomic<bool> shutDown_{false};
  std::atomic<std::uint32_t> nextPortNumber_{1};
};

// The process-wide client that every driver connection shares, opened on
// first use. Null when no server answers. A client whose server went away is
// replaced on the next call; connections keep the old one alive until closed.
std::shared_ptr<JackClient> SharedClient();

}  // namespace vessa::midi::jack
