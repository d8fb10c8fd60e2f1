#include "app/app_texts.h"

#include <cstdio>

#include "platform/instance_lock.h"

namespace vessa::app {

std::string RefusalText() {
  char text[128];
  std::snprintf(text, sizeof text,
                "It is forbidden to launch more than %d instance of this application.",
                platform::kMaxInstances);
  return text;
}

}  // namespace vessa::app
