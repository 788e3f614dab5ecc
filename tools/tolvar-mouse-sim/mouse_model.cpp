#include "mouse_model.h"

#include <cstdio>

#include "mouse_descriptor.h"

namespace tolvar::mousesim {

namespace {

// The mouse's DPI for each step code; other codes have none.
struct StepDpi {
  std::uint8_t step;
  int dpi;
};
constexpr StepDpi kStepDpiTable[] = {{1, 200},  {2, 400},  {3, 600},   {4, 800},   {5, 1000},  {6, 1200},
                                     {7, 1600}, {9, 2000}, {11, 2400}, {13, 3200}, {14, 4000}, {15, 4800}};

struct RateCode {
  std::uint8_t code;
  int hertz;
};
constexpr RateCode kReportRates[] = {{0, 1000}, {1, 500}, {3, 250}, {7, 125}};

constexpr std::uint8_t kFirstModifierUsage = 0xE0;
constexpr std::uint8_t kLastModifierUsage = 0xE7;

std::string Hex2(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
  return text;
}

std::string Hex4(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", value & 0xFFFFu);
  return text;
}

// What a computer sees of the held keys: modifiers as bits, the other keys in slots.
std::vector<std::uint8_t> KeyboardReport(const std::array<std::uint8_t, 6>& heldKeys) {
  std::vector<std::uint8_t> report(9, 0);
  report[0] = kKeyboardReportId;
  std::size_t slot = 3;
  for (std::uint8_t key : heldKeys) {
    if (key >= kFirstModifierUsage && key <= kLastModifierUsage) {
      report[1] |= static_cast<std::uint8_t>(1u << (key - kFirstModifierUsage));
    } else if (key != 0) {
      report[slot++] = key;
    }
  }
  return report;
}

std::vector<std::uint8_t> MouseButtonReport(std::uint8_t buttonMask) {
  return {kMouseReportId, static_cast<std::uint8_t>(~buttonMask & 0x07), 0, 0, 0};
}

std::vector<std::uint8_t> ButtonReport(int number, std::uint8_t value) {
  std::vector<std::uint8_t> report(kButtonReportLength, 0);
  report[0] = kButtonReportId;
  report[1] = static_cast<std::uint8_t>(0xF0 + number);
  report[2] = value;
  return report;
}

std::string FunctionWords(std::uint8_t function) {
  switch (function) {
    case 0:
      return " (reported to the program)";
    case kNextLevelFunction:
      return " (next DPI level, wrapping)";
    case kLevelUpFunction:
      return " (DPI level up)";
    case kLevelDownFunction:
      return " (DPI level down)";
    default:
      return function <= 5 ? " (own function of button " + std::to_string(function) + ")" : "";
  }
}

std::string DpiWords(std::uint8_t step) {
  for (const StepDpi& entry : kStepDpiTable) {
    if (entry.step == step) return std::to_string(entry.dpi) + " DPI";
  }
  return "no DPI of its own";
}

std::string LightingWords(std::uint8_t lighting) {
  const int speed = lighting & 0x0F;
  if ((lighting & 0xF0) == 0x90) return "mode 1 (colour cycle), speed " + std::to_string(speed);
  if (lighting == 0x86) return "mode 2";
  if (lighting == 0x87) return "mode 3";
  if (lighting >= 0x80 && lighting <= 0x85) return "mode 0, speed " + std::to_string(speed);
  return "unknown";
}

std::string RateWords(std::uint8_t code) {
  for (const RateCode& rate : kReportRates) {
    if (rate.code == code) return std::to_string(rate.hertz) + " Hz";
  }
  return "unknown";
}

}  // namespace

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (std::uint8_t byte : bytes) {
    if (!text.empty()) text += ' ';
    text += Hex2(byte);
  }
  return text;
}

Reaction MouseModel::TakeFeatureReport(std::span<const std::uint8_t> report) {
  Reaction reaction;
  reaction.records.push_back("F " + HexBytes(report));
  if (report.size() >= kCommandReportLength && report[0] == kCommandReportId) ApplyCommand(report, reaction);
  return reaction;
}

void MouseModel::ApplyCommand(std::span<const std::uint8_t> r, Reaction& reaction) {
  switch (r[1]) {
    case 0x09: {
      const int level = r[2] - 0x40;
      if (level >= 0 && level < kDpiLevels) state_.dpiLevel = level;
      const int index = (r[3] & 0x0F) - 8;
      if (index >= 0 && index < kDpiLevels) state_.levels[index].step = r[3] >> 4;
      state_.enableMask = r[4] & 0x3F;
      break;
    }
    case 0x0A:
      state_.reportRateCode = r[2];
      break;
    case 0x10:
      if (r[2] >= 1 && r[2] <= kAssignableButtons) state_.functions[r[2] - 1] = r[3];
      break;
    case 0x11:
      state_.wheelStatus = r[2];
      break;
    case 0x12:
      state_.fireTime = static_cast<std::uint16_t>((r[2] << 8) | r[3]);
      break;
    case 0x13:
      state_.cycleMask = r[2] & 0x7F;
      state_.lighting = r[3];
      break;
    case 0x14: {
      const int index = r[2] >> 5;
      if (index < kDpiLevels) {
        state_.levels[index].g = r[2] & 0x0F;
        state_.levels[index].r = r[3] >> 4;
        state_.levels[index].b = r[3] & 0x0F;
      }
      break;
    }
    case 0x15:
      for (std::size_t slot = 0; slot < state_.heldKeys.size(); ++slot) state_.heldKeys[slot] = r[2 + slot];
      reaction.records.push_back("KEYS " + HexBytes(state_.heldKeys));
      reaction.inputReports.push_back(KeyboardReport(state_.heldKeys));
      break;
    case 0x16:
      state_.buttonMask = r[3];
      reaction.records.push_back("BUTTONS " + Hex2(state_.buttonMask));
      reaction.inputReports.push_back(MouseButtonReport(state_.buttonMask));
      break;
    case 0x17: {
      // The computer sees the consumer key pressed and let go.
      const unsigned usage = (r[2] << 8) | r[3];
      reaction.records.push_back("CONSUMER " + Hex4(usage));
      reaction.inputReports.push_back({kConsumerReportId, r[3], r[2]});
      reaction.inputReports.push_back({kConsumerReportId, 0, 0});
      break;
    }
    default:
      break;
  }
}

int MouseModel::LevelAfter(std::uint8_t function) const {
  const auto enabled = [this](int level) { return (state_.enableMask >> level) & 1; };
  const int current = state_.dpiLevel;
  switch (function) {
    case kNextLevelFunction:
      for (int step = 1; step <= kDpiLevels; ++step) {
        const int level = (current + step) % kDpiLevels;
        if (enabled(level)) return level;
      }
      break;
    case kLevelUpFunction:
      for (int level = current + 1; level < kDpiLevels; ++level) {
        if (enabled(level)) return level;
      }
      break;
    case kLevelDownFunction:
      for (int level = current - 1; level >= 0; --level) {
        if (enabled(level)) return level;
      }
      break;
    default:
      break;
  }
  return current;
}

std::vector<std::uint8_t> MouseModel::Press(int number, std::uint8_t value) {
  if (number >= 1 && number <= kAssignableButtons) {
    const std::uint8_t function = state_.functions[number - 1];
    if (function == kNextLevelFunction || function == kLevelUpFunction || function == kLevelDownFunction) {
      state_.dpiLevel = LevelAfter(function);
      value = static_cast<std::uint8_t>(state_.dpiLevel);
    }
  }
  return ButtonReport(number, value);
}

std::vector<std::uint8_t> MouseModel::Release(int number) { return ButtonReport(number, kReleaseValue); }

std::string MouseModel::Describe() const {
  std::string text;
  for (int button = 1; button <= kAssignableButtons; ++button) {
    const std::uint8_t function = state_.functions[button - 1];
    text += "button " + std::to_string(button) + ": function 0x" + Hex2(function) + FunctionWords(function) + "\n";
  }
  for (int level = 0; level < kDpiLevels; ++level) {
    const LevelState& l = state_.levels[level];
    text += "DPI level " + std::to_string(level) + ": step " + std::to_string(l.step) + ", " + DpiWords(l.step) +
            ", colour R " + std::to_string(l.r) + " G " + std::to_string(l.g) + " B " + std::to_string(l.b) +
            (((state_.enableMask >> level) & 1) ? ", enabled" : ", disabled") +
            (level == state_.dpiLevel ? ", current" : "") + "\n";
  }
  text += "lighting: " + LightingWords(state_.lighting) + " (byte 0x" + Hex2(state_.lighting) + "), cycle colours";
  for (int colour = 0; colour < 7; ++colour) {
    if ((state_.cycleMask >> colour) & 1) text += " " + std::to_string(colour);
  }
  text += state_.cycleMask == 0 ? " none\n" : "\n";
  text += "fire time: " + std::to_string(state_.fireTime) + "\n";
  text +=
      "report rate: " + RateWords(state_.reportRateCode) + " (code " + std::to_string(state_.reportRateCode) + ")\n";
  text += "wheel status: " + std::to_string(state_.wheelStatus) + "\n";
  text += "held keys: " + HexBytes(state_.heldKeys) + "\n";
  text += "mouse buttons: " + Hex2(state_.buttonMask) + "\n";
  return text;
}

}  // namespace tolvar::mousesim
