#include "config/application_rules.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace tolvar {

namespace {

constexpr std::string_view kApplicationsSection = "Applications";
constexpr std::string_view kOptionsSection = "Options";
constexpr std::string_view kOtherwiseKey = "Otherwise";
constexpr std::string_view kNotificationsKey = "Notifications";
constexpr std::string_view kDesktopSuffix = ".desktop";

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() > suffix.size() && EqualNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// A whole decimal number, nothing else on the value.
bool ParseWholeNumber(std::string_view text, int& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && ptr == end && !text.empty();
}

enum class Section { Leading, Applications, Options, Other };

}  // namespace

bool IsProfileNumber(int value) { return value >= kFirstProfile && value <= kLastProfile; }

bool IsValidApplicationId(std::string_view id) {
  const std::string_view trimmed = Trim(id);
  if (trimmed.empty() || trimmed != id) return false;
  if (trimmed.front() == '[' || trimmed.front() == ';' || trimmed.front() == '#') return false;
  return trimmed.find_first_of("=\n\r") == std::string_view::npos;
}

ApplicationRules ParseApplicationRules(std::string_view text) {
  ApplicationRules result;
  Section section = Section::Leading;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string_view line = Trim(raw);

    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      const std::string_view name = Trim(line.substr(1, line.size() - 2));
      if (EqualNoCase(name, kApplicationsSection)) {
        section = Section::Applications;
      } else if (EqualNoCase(name, kOptionsSection)) {
        section = Section::Options;
      } else {
        section = Section::Other;
        result.otherSectionLines.emplace_back(raw);
      }
      continue;
    }
    if (line.empty()) continue;

    const std::size_t equals = line.find('=');
    const std::string_view key = equals == std::string_view::npos ? line : Trim(line.substr(0, equals));
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : Trim(line.substr(equals + 1));
    int number = 0;
    const bool isNumber = equals != std::string_view::npos && ParseWholeNumber(value, number);
    switch (section) {
      case Section::Leading:
        result.leadingLines.emplace_back(raw);
        break;
      case Section::Other:
        result.otherSectionLines.emplace_back(raw);
        break;
      case Section::Applications:
        if (isNumber && IsProfileNumber(number) && IsValidApplicationId(key)) {
          result.rules.push_back({std::string(key), number});
        } else {
          result.unknownApplicationLines.emplace_back(raw);
        }
        break;
      case Section::Options:
        if (isNumber && EqualNoCase(key, kOtherwiseKey) && (number == 0 || IsProfileNumber(number))) {
          result.otherwise = number;
        } else if (isNumber && EqualNoCase(key, kNotificationsKey)) {
          result.notifications = number != 0;
        } else {
          result.unknownOptionLines.emplace_back(raw);
        }
        break;
    }
  }
  return result;
}

std::string ApplicationRulesText(const ApplicationRules& rules) {
  std::string text;
  const auto line = [&text](std::string_view part) {
    text += part;
    text += '\n';
  };
  for (const std::string& kept : rules.leadingLines) line(kept);
  line("[Applications]");
  for (const ApplicationRule& rule : rules.rules) line(rule.id + "=" + std::to_string(rule.profile));
  for (const std::string& kept : rules.unknownApplicationLines) line(kept);
  line("");
  line("[Options]");
  line(std::string(kOtherwiseKey) + "=" + std::to_string(rules.otherwise));
  line(std::string(kNotificationsKey) + "=" + (rules.notifications ? "1" : "0"));
  for (const std::string& kept : rules.unknownOptionLines) line(kept);
  if (!rules.otherSectionLines.empty()) line("");
  for (const std::string& kept : rules.otherSectionLines) line(kept);
  return text;
}

int RuleProfileFor(const ApplicationRules& rules, const WindowIdentity& window) {
  std::string_view appId = window.appId;
  if (EndsWithNoCase(appId, kDesktopSuffix)) appId.remove_suffix(kDesktopSuffix.size());
  const std::array<std::string_view, 4> names{window.wmClass, window.wmInstance, window.programFile, appId};
  for (const std::string_view name : names) {
    if (name.empty()) continue;
    for (const ApplicationRule& rule : rules.rules) {
      if (EqualNoCase(rule.id, name)) return rule.profile;
    }
  }
  return 0;
}

int WantedProfileFor(const ApplicationRules& rules, const WindowIdentity& window) {
  const int profile = RuleProfileFor(rules, window);
  return profile != 0 ? profile : rules.otherwise;
}

std::string PreferredIdOf(const WindowIdentity& window) {
  for (const std::string* name : {&window.wmClass, &window.appId, &window.wmInstance, &window.programFile}) {
    if (!name->empty()) return *name;
  }
  return {};
}

}  // namespace tolvar
