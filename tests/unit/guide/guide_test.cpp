// The user guide beside the program: both language pages exist and link to
// each other, and everything they show or link to is inside guide/, so the
// guide works offline from the program's folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kGuideDir = fs::path(TOLVAR_SOURCE_DIR) / "guide";

struct GuidePage {
  const char* file;
  const char* language;
  const char* otherPage;
};

const GuidePage kPages[] = {
    {"index.html", "en", "index-ko.html"},
    {"index-ko.html", "ko", "index.html"},
};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Values of the src and href attributes, in page order.
std::vector<std::string> References(const std::string& html) {
  static const std::regex kReference(R"re(\b(?:src|href)\s*=\s*"([^"]*)")re");
  std::vector<std::string> found;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), kReference); it != std::sregex_iterator(); ++it) {
    found.push_back((*it)[1].str());
  }
  return found;
}

std::set<std::string> Ids(const std::string& html) {
  static const std::regex kId(R"re(\bid\s*=\s*"([^"]*)")re");
  std::set<std::string> ids;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), kId); it != std::sregex_iterator(); ++it) {
    ids.insert((*it)[1].str());
  }
  return ids;
}

TEST(Guide, EachLanguageHasAPageThatLinksToTheOther) {
  for (const GuidePage& page : kPages) {
    SCOPED_TRACE(page.file);
    ASSERT_TRUE(fs::is_regular_file(kGuideDir / page.file));
    const std::string html = ReadText(kGuideDir / page.file);
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(html.find(std::string("<html lang=\"") + page.language + "\""), std::string::npos);
    EXPECT_NE(html.find("<meta charset=\"utf-8\""), std::string::npos);
    const std::vector<std::string> references = References(html);
    EXPECT_NE(std::find(references.begin(), references.end(), page.otherPage), references.end());
  }
}

TEST(Guide, EveryReferenceIsAFileOrSectionOfTheGuide) {
  for (const GuidePage& page : kPages) {
    SCOPED_TRACE(page.file);
    const std::string html = ReadText(kGuideDir / page.file);
    const std::set<std::string> ids = Ids(html);
    for (const std::string& reference : References(html)) {
      SCOPED_TRACE(reference);
      ASSERT_FALSE(reference.empty());
      EXPECT_EQ(reference.find(':'), std::string::npos) << "no external address or scheme";
      EXPECT_NE(reference.front(), '/') << "relative to the guide's folder";
      if (reference.front() == '#') {
        EXPECT_TRUE(ids.count(reference.substr(1))) << "no section with this id";
        continue;
      }
      const fs::path target = fs::weakly_canonical(kGuideDir / reference.substr(0, reference.find('#')));
      const fs::path guide = fs::weakly_canonical(kGuideDir);
      EXPECT_EQ(target.string().rfind(guide.string() + "/", 0), 0u) << "outside guide/";
      EXPECT_TRUE(fs::is_regular_file(target)) << "missing file";
    }
  }
}

TEST(Guide, EveryPictureIsShown) {
  std::set<std::string> shown;
  for (const GuidePage& page : kPages) {
    for (const std::string& reference : References(ReadText(kGuideDir / page.file))) shown.insert(reference);
  }
  for (const auto& entry : fs::directory_iterator(kGuideDir / "pictures")) {
    const std::string name = "pictures/" + entry.path().filename().string();
    EXPECT_TRUE(shown.count(name)) << name << " is not used by the guide";
  }
}

}  // namespace
