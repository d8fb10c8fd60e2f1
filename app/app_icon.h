#pragma once
// The application icon, built into the executable at 16, 32 and 48 pixels.

#include <QIcon>

namespace vessa::app {

QIcon ApplicationIcon();

}  // namespace vessa::app
