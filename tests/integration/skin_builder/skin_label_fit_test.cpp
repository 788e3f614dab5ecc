// Every text the program draws into a rectangle of the delivered skin fits
// it, in both languages, measured in the program's own fonts.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QString>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "base/text.h"
#include "config/button_catalogue.h"
#include "config/profile_settings.h"
#include "integration/skin_builder/delivered_skin.h"
#include "platform/qt/qt_fonts.h"

namespace tolvar::testing {
namespace {

// The widest count of recorded presses or releases: a macro holds at most
// 255 events.
constexpr int kMostEvents = 255;

// Menu geometry as the popups take it from their masks.
struct MenuGeometry {
  int width = 0;
  int itemHeight = 0;
};

MenuGeometry MenuFromMask(const std::string& file, int items) {
  const QImage mask = SkinImage(file);
  return {mask.width(), mask.height() / items};
}

struct Text {
  std::string where;
  std::u16string text;
  int width;  // room for the text
  int height;
  const FontSpec* font;
};

class LabelsFit : public ::testing::TestWithParam<std::uint8_t> {
 protected:
  void SetUp() override {
    EnsureGuiApplication();
    skin_ = LoadDeliveredSkin(GetParam());
    ASSERT_TRUE(skin_.loaded);
  }

  bool English() const { return GetParam() != 0; }
  const FontSpec& LabelFont() const { return English() ? kFontEnglish : kFontOther; }
  const SkinLayout& Layout() const { return skin_.layout; }

  template <std::size_t N>
  void AddLabel(std::vector<Text>& out, const char* page, const SkinPage<N>& layout, int row,
                const FontSpec* font = nullptr) {
    const HotSpot& spot = layout.Spot(row);
    out.push_back({std::string(page) + " row " + std::to_string(row), layout.labels[static_cast<std::size_t>(row)],
                   spot.width, spot.height, font != nullptr ? font : &LabelFont()});
  }

  template <std::size_t N>
  void AddText(std::vector<Text>& out, const char* page, const SkinPage<N>& layout, int row, std::u16string text) {
    const HotSpot& spot = layout.Spot(row);
    out.push_back({std::string(page) + " row " + std::to_string(row) + " as " + Utf16ToUtf8(text), std::move(text),
                   spot.width, spot.height, &LabelFont()});
  }

  // Each text with the font and the room the painter gives it.
  std::vector<Text> DrawnTexts() {
    std::vector<Text> texts;
    const SkinLayout& l = Layout();
    for (int row = 0; row <= 58; ++row) {
      if (row >= 20 && row <= 25) continue;  // the assignment buttons show function names (below)
      const bool levelName = row >= 53;
      AddLabel(texts, "main", l.Main, row, levelName && English() ? &kFontEnglishSmall : nullptr);
    }
    for (int row = 0; row <= 31; ++row) {
      if (row != 18) AddLabel(texts, "colour", l.Colour, row);
    }
    for (const DpiStep& step : DpiStepTable) AddText(texts, "colour", l.Colour, 18, DecimalText(step.dpi));
    for (int row = 0; row <= 51; ++row) {
      if (row != 4 && row != 43 && row != 44) AddLabel(texts, "advanced", l.Advanced, row);
    }
    for (const char16_t* record : {u"Record", u"Stop", u"멈춤", u"저장"})
      AddText(texts, "advanced", l.Advanced, 4, record);
    AddText(texts, "advanced", l.Advanced, 43, u"[↓]" + DecimalText(kMostEvents));
    AddText(texts, "advanced", l.Advanced, 44, u"[↑]" + DecimalText(kMostEvents));
    for (int row = 0; row <= 2; ++row) AddLabel(texts, "warning", l.Warning, row);

    // Function names: drawn from 5 pixels inside the left edge of each
    // assignment button.
    for (int code = 1; code <= kFunctionLabelCount; ++code) {
      for (int row = 20; row <= 25; ++row) {
        const HotSpot& spot = l.Main.Spot(row);
        texts.push_back({"code " + std::to_string(code) + " on main row " + std::to_string(row),
                         FunctionLabel(l.FunctionLabels, code), spot.width - 5, spot.height, &LabelFont()});
      }
    }
    // The first popup shows names 1..10, the secondary one the names of its group.
    const MenuGeometry menu = MenuFromMask("menu_mask.jpg", 10);
    for (int item = 1; item <= kMainPopupItems; ++item) {
      texts.push_back({"popup item " + std::to_string(item), FunctionLabel(l.FunctionLabels, item), menu.width,
                       menu.itemHeight, &LabelFont()});
    }
    const MenuGeometry subMenu = MenuFromMask("advanced menu_mask.jpg", 12);
    for (int item = 7; item <= kMainPopupItems; ++item) {
      for (std::int32_t code : PopupGroupCodes(item, 0)) {
        texts.push_back({"group " + std::to_string(item) + " code " + std::to_string(code),
                         FunctionLabel(l.FunctionLabels, code), subMenu.width, subMenu.itemHeight, &LabelFont()});
      }
    }
    return texts;
  }

  LoadedSkin skin_;
};

TEST_P(LabelsFit, EveryDrawnTextFitsItsRectangle) {
  for (const Text& t : DrawnTexts()) {
    const QFontMetrics metrics(QtFontFor(*t.font));
    const QString text = QString::fromStdU16String(t.text);
    EXPECT_LE(metrics.horizontalAdvance(text), t.width) << t.where << ": \"" << Utf16ToUtf8(t.text) << "\"";
    EXPECT_LE(metrics.height(), t.height) << t.where << ": \"" << Utf16ToUtf8(t.text) << "\"";
  }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, LabelsFit, ::testing::Values(std::uint8_t{1}, std::uint8_t{0}),
                         [](const auto& info) { return info.param != 0 ? "English" : "Korean"; });

}  // namespace
}  // namespace tolvar::testing
