// Reading a frame's input back from the platform's event record, as the runtime's poll does.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/platform/InputEvents.h"

namespace testing_support {

// The scan codes a poll sees down.
inline std::vector<int> Poll(plat::InputEvents& in) {
  uint8_t state[256] = {};
  in.TakeKeys(state);
  std::vector<int> down;
  for (int i = 0; i < 256; ++i)
    if (state[i] & 0x80) down.push_back(i);
  return down;
}

// Whether a poll sees the left button down.
inline bool PollLeft(plat::InputEvents& in) {
  bool left = false, right = false;
  in.TakeButtons(left, right);
  return left;
}

}  // namespace testing_support
