#include "sim_command.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

#include "mouse_model.h"

namespace tolvar::mousesim {

namespace {

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t start = line.find_first_not_of(" \t\r\n", pos);
    if (start == std::string_view::npos) break;
    const std::size_t end = std::min(line.find_first_of(" \t\r\n", start), line.size());
    words.push_back(line.substr(start, end - start));
    pos = end;
  }
  return words;
}

std::optional<int> Number(std::string_view word, int max) {
  int base = 10;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    word.remove_prefix(2);
    base = 16;
  }
  int value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
  if (error != std::errc{} || end != word.data() + word.size() || value < 0 || value > max) return std::nullopt;
  return value;
}

ParsedCommand Error(std::string text) { return {Command{}, std::move(text)}; }

}  // namespace

ParsedCommand ParseCommand(std::string_view line) {
  const std::vector<std::string_view> words = Words(line);
  if (words.empty()) return {};
  const std::string_view name = words[0];
  const std::size_t arguments = words.size() - 1;

  if (name == "press" || name == "release") {
    const bool press = name == "press";
    if (arguments < 1 || arguments > (press ? 2u : 1u)) {
      return Error(press ? "usage: press N [B]" : "usage: release N");
    }
    const std::optional<int> button = Number(words[1], kMaxButtonNumber);
    if (!button) return Error("button number must be 0..15: " + std::string(words[1]));
    Command command{press ? CommandKind::Press : CommandKind::Release, *button, 1};
    if (arguments == 2) {
      const std::optional<int> value = Number(words[2], 255);
      if (!value) return Error("byte 2 must be 0..255: " + std::string(words[2]));
      command.value = static_cast<std::uint8_t>(*value);
    }
    return {command, {}};
  }

  if (name == "input") {
    if (arguments > kMaxRawInputBytes) return Error("input takes at most 64 bytes");
    Command command{CommandKind::Input};
    for (std::size_t i = 1; i < words.size(); ++i) {
      const std::optional<int> byte = Number(words[i], 255);
      if (!byte) return Error("each byte of input must be 0..255: " + std::string(words[i]));
      command.bytes.push_back(static_cast<std::uint8_t>(*byte));
    }
    return {command, {}};
  }

  // Commands with counts: the name, the kind, whether a delay comes first,
  // whether the count may be left out (then 1).
  struct Counted {
    std::string_view name;
    CommandKind kind;
    bool delayFirst;
    bool countOptional;
  };
  static constexpr Counted kCounted[] = {{"refuse", CommandKind::Refuse, false, true},
                                         {"delay", CommandKind::Delay, true, true},
                                         {"gone-after", CommandKind::GoneAfter, false, false},
                                         {"random-input", CommandKind::RandomInput, false, false}};
  for (const Counted& counted : kCounted) {
    if (name != counted.name) continue;
    const std::size_t least = (counted.delayFirst ? 1 : 0) + (counted.countOptional ? 0 : 1);
    const std::size_t most = (counted.delayFirst ? 1 : 0) + 1;
    const std::string usage =
        "usage: " + std::string(name) + (counted.delayFirst ? " MS" : "") + (counted.countOptional ? " [N]" : " N");
    if (arguments < least || arguments > most) return Error(usage);
    Command command{counted.kind};
    std::size_t next = 1;
    if (counted.delayFirst) {
      const std::optional<int> delay = Number(words[next++], kMaxDelayMs);
      if (!delay || *delay < 1) return Error("MS must be 1..60000: " + std::string(words[1]));
      command.delayMs = *delay;
    }
    if (next < words.size()) {
      const std::optional<int> count = Number(words[next], kMaxFaultCount);
      if (!count || *count < 1) return Error("N must be 1..1000: " + std::string(words[next]));
      command.count = *count;
    }
    return {command, {}};
  }

  struct Plain {
    std::string_view name;
    CommandKind kind;
  };
  static constexpr Plain kPlain[] = {{"unplug", CommandKind::Unplug},
                                     {"plug", CommandKind::Plug},
                                     {"state", CommandKind::State},
                                     {"quit", CommandKind::Quit},
                                     {"cut-feature", CommandKind::CutFeature},
                                     {"cut-input", CommandKind::CutInput}};
  for (const Plain& plain : kPlain) {
    if (name != plain.name) continue;
    if (arguments != 0) return Error(std::string(name) + " takes no arguments");
    return {Command{plain.kind}, {}};
  }
  return Error("unknown command: " + std::string(name) +
               " (commands: press N [B], release N, unplug, plug, state, quit; faults: refuse [N], delay MS [N], "
               "cut-feature, cut-input, gone-after N, input B..., random-input N)");
}

}  // namespace tolvar::mousesim
