#pragma once
// Texts of the application shell that are not in the string table.

#include <string>

namespace vessa::app {

// The updater's fixed name, shown by the About box without an instance number.
inline constexpr const char* kUpdaterName = "ORVANE Rk5 System v2.00 Updater";

// The text shown when every instance number is taken.
std::string RefusalText();

}  // namespace vessa::app
