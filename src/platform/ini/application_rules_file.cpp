#include "platform/ini/application_rules_file.h"

#include "platform/ini/file_io.h"

namespace tolvar {

LoadedApplicationRules LoadApplicationRules(const std::string& path) {
  if (InspectFile(path).kind == FileFacts::Kind::kMissing) return {};
  std::string bytes;
  FileIdentity identity;
  if (!ReadWholeFile(path, bytes, identity)) return {{}, false};
  return {ParseApplicationRules(bytes), true};
}

bool SaveApplicationRules(const std::string& path, const ApplicationRules& rules) {
  const std::string target = WriteTarget(path);
  if (target.empty()) return false;
  return ReplaceFile(target, ApplicationRulesText(rules), std::nullopt) == 0;
}

}  // namespace tolvar
