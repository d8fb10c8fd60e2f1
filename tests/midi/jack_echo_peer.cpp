// A separate process for the JACK exchange test: opens a client of the given
// name with one MIDI input and one output, and sends every SysEx message it
// receives straight back. Runs until SIGTERM or its parent dies.

#include <signal.h>
#include <sys/prctl.h>

#include <chrono>
#include <cstdio>

#include "midi/jack/virtual_ports.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CLIENT-NAME\n", argv[0]);
    return 2;
  }
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  // Blocked before any thread starts, so only sigwait below sees them.
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  auto ports = vessa::midi::jack::OpenVirtualPorts(
      argv[1], [](vessa::midi::jack::VirtualPortPair& self, std::span<const std::uint8_t> message) {
        if (!self.Send(message, std::chrono::seconds(5)))
          std::fprintf(stderr, "echo: send failed\n");
      });
  if (ports == nullptr) {
    std::fprintf(stderr, "echo: no JACK server, or name %s taken\n", argv[1]);
    return 1;
  }
  int signal = 0;
  sigwait(&stopSignals, &signal);
  return 0;
}
