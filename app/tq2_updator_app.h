#pragma once
// The application: takes the lowest free instance number, runs the main
// dialog for it, or refuses to start when every number is taken.

#include <memory>

#include "midi/driver.h"
#include "platform/instance_lock.h"

namespace vessa::app {

class CTq2UpdatorApp {
 public:
  explicit CTq2UpdatorApp(midi::MidiDriver& driver);

  // Runs to the end of the program. A QApplication must exist.
  void InitInstance();

 private:
  void ShowRefusal();

  midi::MidiDriver& driver_;
  // Holds this copy's number until the process ends, however it ends.
  std::unique_ptr<platform::InstanceLock> instanceLock_;
};

}  // namespace vessa::app
