#pragma once
// The engine's user interface on a console: the string table's texts, with a
// progress bar on a terminal and plain lines otherwise.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

#include "engine/user_interface.h"

namespace vessa::cli {

class ConsoleUi : public engine::UserInterface {
 public:
  ConsoleUi(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

  void SelectPorts(std::int32_t in, std::int32_t out) {
    inSelection_ = in;
    outSelection_ = out;
  }

  std::int32_t MidiInSelection() override { return inSelection_; }
  std::int32_t MidiOutSelection() override { return outSelection_; }
  void EnableControl(engine::Control, bool) override {}
  void SetStatusText(const std::string& text) override;
  void SetStepText(const std::string& text) override;
  void ShowError(int stringId) override;
  void SetProgressRange(std::int32_t lower, std::int32_t upper) override;
  void SetProgressPos(std::int32_t position) override;
  void RestoreControls() override {}
  void EnableExecute(bool) override {}

  bool Completed() const;
  std::optional<int> Error() const;

 private:
  bool Writing() const;
  void DrawBar();
  void EndBar();
  void Line(const std::string& text);

  std::FILE* const out_;
  const bool terminal_;
  std::int32_t inSelection_ = -1;
  std::int32_t outSelection_ = -1;

  mutable std::mutex mutex_;  // the worker and the main thread both report
  std::string status_;
  std::string step_;
  std::int32_t lower_ = 0;
  std::int32_t upper_ = 0;
  std::int32_t position_ = 0;
  std::chrono::steady_clock::time_point rangeStart_{};
  std::string lastLineKey_;
  bool barShown_ = false;
  std::optional<int> error_;
};

}  // namespace vessa::cli
