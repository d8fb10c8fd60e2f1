#pragma once
// Hidden test hooks, switched on by environment variables that an operator
// never sets. They let tests and the screenshot script drive the program
// from outside; without them the program reads no environment at all.
//
//   VESSA_UPDATER_TEST_REPORT_INSTANCE=1
//       After taking (or failing to take) an instance number, print
//       "instance <n>" or "refused: <refusal text>" on stdout, then hold the
//       number without opening a window until stdin reaches end of file.
//   VESSA_UPDATER_TEST_SCREENSHOTS=<folder>
//       Instead of the real ports, update a built-in virtual unit and save
//       the window in its Ready, Running and Completed states, and the About
//       box, as PNG files in <folder>.

#include <optional>
#include <string>

namespace vessa::app::test_hooks {

bool InstanceReportRequested();
// `instanceNumber` 0 means every number was taken.
void ReportInstanceAndWait(int instanceNumber, const std::string& refusalText);

std::optional<std::string> ScreenshotFolder();
void RunScreenshotTour(int instanceNumber, const std::string& folder);

}  // namespace vessa::app::test_hooks
