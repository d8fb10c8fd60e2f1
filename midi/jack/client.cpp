#include "midi/jack/client.h"

#include <cerrno>
#include <mutex>
#include <thread>

namespace vessa::midi::jack {
namespace {

constexpr char kSharedClientName[] = "vessa";

void Quiet(const char*) {}

// libjack reports a missing server on stderr; the port lists must stay silent.
void SilenceLibjack() {
  static std::once_flag once;
  std::call_once(once, [] {
    jack_set_error_function(Quiet);
    jack_set_info_function(Quiet);
  });
}

}  // namespace

std::shared_ptr<JackClient> JackClient::Open(const std::string& name, bool exactName) {
  SilenceLibjack();
  int options = JackNoStartServer;
  if (exactName) options |= JackUseExactName;
  jack_status_t status{};
  jack_client_t* handle =
      jack_client_open(name.c_str(), static_cast<jack_options_t>(options), &status);
  if (handle == nullptr) return nullptr;
  std::shared_ptr<JackClient> client(new JackClient(handle));
  jack_set_process_callback(handle, &JackClient::OnProcess, client.get());
  jack_on_shutdown(handle, &JackClient::OnShutdown, client.get());
  if (jack_activate(handle) != 0) return nullptr;
  return client;
}

JackClient::~JackClient() {
  // Deactivating first stops the callback before any member it reads is gone.
  jack_deactivate(client_);
  jack_client_close(client_);
}

jack_port_t* JackClient::RegisterMidiPort(const char* prefix, unsigned long flags) {
  const std::string name = std::string(prefix) + "-" + std::to_string(nextPortNumber_.fetch_add(1));
  return jack_port_register(client_, name.c_str(), JACK_DEFAULT_MIDI_TYPE, flags, 0);
}

void JackClient::UnregisterPort(jack_port_t* port) {
  if (port == nullptr) return;
  jack_port_disconnect(client_, port);
  jack_port_unregister(client_, port);
}

bool JackClient::Connect(const char* source, const char* destination) {
  const int result = jack_connect(client_, source, destination);
  return result == 0 || result == EEXIST;
}

bool JackClient::Attach(ProcessTarget* target) {
  for (auto& slot : targets_) {
    ProcessTarget* empty = nullptr;
    if (slot.compare_exchange_strong(empty, target)) return true;
  }
  return false;
}

void JackClient::Detach(ProcessTarget* target) {
  for (auto& slot : targets_) {
    ProcessTarget* expected = target;
    slot.compare_exchange_strong(expected, nullptr);
  }
  // A cycle that began before the slot was cleared may still hold the target;
  // one that begins after it sees the empty slot.
  const std::uint64_t seen = cycle_.load();
  if (seen % 2 == 0) return;
  while (cycle_.load() == seen && !shutDown_.load()) std::this_thread::yield();
}

int JackClient::OnProcess(jack_nframes_t frames, void* self) {
  auto* client = static_cast<JackClient*>(self);
  client->cycle_.fetch_add(1);
  for (auto& slot : client->targets_) {
    if (ProcessTarget* target = slot.load()) target->Process(frames);
  }
  client->cycle_.fetch_add(1);
  return 0;
}

void JackClient::OnShutdown(void* self) {
  static_cast<JackClient*>(self)->shutDown_.store(true);
}

std::shared_ptr<JackClient> SharedClient() {
  // Destroyed after main returns, while libjack is still loaded, so the client
  // is deactivated and closed cleanly. Open connections hold their own
  // reference and keep it alive until they are closed.
  static std::mutex mutex;
  static std::shared_ptr<JackClient> shared;
  std::lock_guard lock(mutex);
  if (shared != nullptr && !shared->ShutDown()) return shared;
  shared = JackClient::Open(kSharedClientName, false);
  return shared;
}

}  // namespace vessa::midi::jack
