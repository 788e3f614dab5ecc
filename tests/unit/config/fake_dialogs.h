// A MessageBoxes port that records the message boxes it was asked to show.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ports/message_boxes.h"

namespace tolvar::testing {

class RecordingDialogs final : public MessageBoxes {
 public:
  void MessageBox(const std::u16string& text, const std::u16string& caption) override {
    shown.emplace_back(text, caption);
  }
  std::vector<std::pair<std::u16string, std::u16string>> shown;
};

}  // namespace tolvar::testing
