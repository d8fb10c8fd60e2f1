#include "tools/updater_cli/console_ui.h"

#include <algorithm>

#include "resources/string_table.h"

namespace vessa::cli {
namespace {

constexpr int kBarWidth = 30;
constexpr int kFullPercent = 100;

// The part of the transmit text before its numbers tells a write's status.
std::string_view TransmitPrefix() {
  const auto text = resources::LoadString(resources::kIdsDataTransmit);
  return text.substr(0, text.find('%'));
}

std::string TimeLeft(std::chrono::steady_clock::duration elapsed, std::int64_t done,
                     std::int64_t total) {
  if (done <= 0) return "--:--";
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
  const std::int64_t left = seconds * (total - done) / done;
  char text[48];
  std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(left / 60),
                static_cast<long long>(left % 60));
  return text;
}

}  // namespace

bool ConsoleUi::Writing() const {
  return status_.starts_with(TransmitPrefix());
}

void ConsoleUi::SetStatusText(const std::string& text) {
  std::lock_guard lock(mutex_);
  status_ = text;
  if (terminal_) {
    DrawBar();
    return;
  }
  // Plain output: one line when a step starts erasing or writing, not one per chunk.
  const std::string key = step_ + '|' + (Writing() ? std::string(TransmitPrefix()) : text);
  if (text.empty() || key == lastLineKey_) return;
  lastLineKey_ = key;
  Line(step_.empty() ? text : "[" + step_ + "] " + text);
}

void ConsoleUi::SetStepText(const std::string& text) {
  std::lock_guard lock(mutex_);
  step_ = text;
}

void ConsoleUi::ShowError(int stringId) {
  std::lock_guard lock(mutex_);
  EndBar();
  error_ = stringId;
  std::fprintf(stderr, "%s: %s\n",
               std::string(resources::LoadString(resources::kIdsErrorCaption)).c_str(),
               std::string(resources::LoadString(stringId)).c_str());
}

void ConsoleUi::SetProgressRange(std::int32_t lower, std::int32_t upper) {
  std::lock_guard lock(mutex_);
  lower_ = lower;
  upper_ = upper;
  position_ = lower;
  rangeStart_ = std::chrono::steady_clock::now();
}

void ConsoleUi::SetProgressPos(std::int32_t position) {
  std::lock_guard lock(mutex_);
  position_ = position;
  if (terminal_) DrawBar();
  if (!terminal_ && Writing() && position == upper_) {
    Line("[" + step_ + "] " + std::to_string(upper_) + " bytes acknowledged");
  }
}

bool ConsoleUi::Completed() const {
  std::lock_guard lock(mutex_);
  return error_ == std::nullopt && status_ == resources::LoadString(resources::kIdsUpdateCompleted);
}

std::optional<int> ConsoleUi::Error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

void ConsoleUi::DrawBar() {
  if (status_ == resources::LoadString(resources::kIdsUpdateCompleted)) {
    EndBar();
    Line(status_);
    return;
  }
  const std::int64_t span = std::max<std::int64_t>(1, std::int64_t{upper_} - lower_);
  const std::int64_t done = std::int64_t{position_} - lower_;
  const int percent = static_cast<int>(kFullPercent * done / span);
  const bool writing = Writing();
  const int filled = static_cast<int>(kBarWidth * done / span);
  std::string bar(static_cast<std::size_t>(std::clamp(filled, 0, kBarWidth)), '#');
  bar.resize(kBarWidth, '.');
  std::string text = "\r[" + step_ + "] [" + bar + "] " + std::to_string(percent) + "%";
  if (writing) {
    text += "  " + std::to_string(done) + "/" + std::to_string(span) + " bytes  " +
            TimeLeft(std::chrono::steady_clock::now() - rangeStart_, done, span) + " left";
  } else if (!status_.empty()) {
    text += "  " + status_;
  }
  text += "\x1b[K";  // clear what a longer earlier line left
  std::fputs(text.c_str(), out_);
  std::fflush(out_);
  barShown_ = true;
}

void ConsoleUi::EndBar() {
  if (!barShown_) return;
  std::fputc('\n', out_);
  barShown_ = false;
}

void ConsoleUi::Line(const std::string& text) {
  std::fprintf(out_, "%s\n", text.c_str());
  std::fflush(out_);
}

}  // namespace vessa::cli
