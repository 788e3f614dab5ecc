#include "skin_description.h"

#include <stdexcept>
#include <string>

#include "base/text.h"

namespace tolvar::skinbuilder {

namespace {

std::u16string Numbered(const std::u16string& text, int number) { return text + DecimalText(number); }

std::string Named(const char* name, int number) { return name + std::to_string(number); }

// ---- Header: title bar and sidebar ----

std::vector<RowSpec> MakeHeader() {
  std::vector<RowSpec> rows = {
      {0, "save", {14, 414, 128, 30}, Look::Button, u"Save", u"저장"},
      {1, "title", {52, 14, 136, 28}, Look::Brand, u"DORVEL_KITE7", u"DORVEL_KITE7"},
      {2, "hide", {14, 502, 128, 30}, Look::Button, u"Hide", u"숨기기"},
      {3, "apply", {14, 452, 128, 40}, Look::PrimaryButton, u"Apply", u"적용"},
  };
  for (int k = 0; k < 5; ++k) {
    rows.push_back({4 + k,
                    Named("profile", k + 1),
                    {14, 72 + 40 * k, 128, 32},
                    Look::Button,
                    Numbered(u"Profile ", k + 1),
                    Numbered(u"프로필 ", k + 1)});
  }
  rows.push_back({9, "tab_main", {204, 12, 124, 32}, Look::Tab, u"Buttons & DPI", u"버튼 / DPI"});
  rows.push_back({10, "tab_advanced", {332, 12, 124, 32}, Look::Tab, u"Advanced", u"고급 설정"});
  rows.push_back({11, "tab_colour", {460, 12, 124, 32}, Look::Tab, u"Lighting", u"조명"});
  rows.push_back({12, "minimise", {834, 15, 26, 26}, Look::Minimise, u"", u""});
  rows.push_back({13, "to_tray", {864, 15, 26, 26}, Look::Close, u"", u""});
  rows.push_back({14, "import", {14, 284, 128, 28}, Look::Button, u"Import profile", u"프로필 가져오기"});
  rows.push_back({15, "export", {14, 318, 128, 28}, Look::Button, u"Export profile", u"프로필 내보내기"});
  rows.push_back({16, "reset", {14, 352, 128, 28}, Look::Button, u"Reset all", u"모두 초기화"});
  rows.push_back({17, "korean", {664, 16, 62, 24}, Look::Segment, u"한국어", u"한국어"});
  rows.push_back({18, "english", {728, 16, 62, 24}, Look::Segment, u"English", u"English"});
  // Only the main page draws header labels past row 18, so this one is an icon.
  rows.push_back({19, "web_site", {802, 15, 26, 26}, Look::WebSite, u"", u""});
  return rows;
}

// ---- Main page: button assignment and DPI levels ----

constexpr Box kMousePicture{536, 76, 150, 208};

PageSpec MakeMainPage() {
  PageSpec page;
  page.panels = {{168, 66, 720, 226}, {168, 302, 720, 246}};
  auto& rows = page.rows;
  static const char16_t* const kButtonEnglish[] = {u"Left button",    u"Right button", u"Middle button",
                                                   u"Forward button", u"Back button",  u"DPI button"};
  static const char16_t* const kButtonKorean[] = {u"왼쪽 버튼",   u"오른쪽 버튼", u"가운데 버튼",
                                                  u"앞으로 버튼", u"뒤로 버튼",   u"DPI 버튼"};
  for (int k = 0; k < 6; ++k) {
    rows.push_back({20 + k, Named("assign", k), {304, 104 + 30 * k, 192, 24}, Look::Dropdown, u"", u""});
  }
  for (int k = 0; k < 6; ++k) {
    rows.push_back({26 + k,
                    Named("button_name", k),
                    {184, 104 + 30 * k, 116, 24},
                    Look::Tag,
                    kButtonEnglish[k],
                    kButtonKorean[k]});
  }
  rows.push_back({32, "wheel_off", {720, 178, 74, 28}, Look::Segment, u"Off", u"끄기"});
  rows.push_back({33, "wheel_on", {796, 178, 74, 28}, Look::Segment, u"On", u"켜기"});
  rows.push_back({34, "assign_title", {180, 74, 190, 22}, Look::Title, u"Button assignment", u"버튼 기능"});
  rows.push_back({35, "dpi_title", {180, 310, 190, 22}, Look::Title, u"DPI levels", u"DPI 단계"});
  rows.push_back({36, "head_use", {178, 340, 40, 20}, Look::Plate, u"Use", u"사용"});
  rows.push_back({37, "head_level", {224, 340, 64, 20}, Look::Plate, u"Level", u"단계"});
  rows.push_back({38, "head_on", {294, 340, 44, 20}, Look::Plate, u"On", u"켜짐"});
  rows.push_back({39, "head_colour", {344, 340, 46, 20}, Look::Plate, u"Colour", u"색상"});
  rows.push_back({40, "wheel_name", {720, 148, 150, 24}, Look::Plate, u"Wheel", u"휠"});
  for (int i = 0; i < 6; ++i) {
    const int y = 366 + 30 * i;
    rows.push_back({41 + i, Named("dpi_colour", i), {353, y + 4, 28, 18}, Look::Swatch, u"", u""});
    rows.push_back({47 + i, Named("dpi_enable", i), {294, y + 3, 44, 20}, Look::Toggle, u"", u""});
    rows.push_back({53 + i,
                    Named("dpi_name", i),
                    {224, y, 64, 26},
                    Look::Caption,
                    Numbered(u"Level ", i + 1),
                    Numbered(u"단계 ", i + 1)});
    rows.push_back({60 + i, Named("dpi_select", i), {178, y, 40, 26}, Look::Radio, u"", u""});
    for (int s = 0; s < 12; ++s) {
      rows.push_back({66 + 12 * i + s,
                      Named("dpi_step", i) + "_" + std::to_string(s),
                      {398 + 40 * s, y + 4, 40, 18},
                      Look::StepCell,
                      u"",
                      u""});
    }
  }
  const auto lit = MouseButtonBoxes(kMousePicture);
  for (int k = 0; k < 6; ++k) {
    rows.push_back(
        {138 + k, Named("mouse_button", k), lit[static_cast<std::size_t>(k)], Look::MouseLight, u"", u"", k});
  }
  return page;
}

// ---- Colour page: lighting mode, speed, cycle colours, preview ----

PageSpec MakeColourPage() {
  PageSpec page;
  page.panels = {{168, 66, 410, 232}, {168, 308, 410, 240}, {588, 66, 300, 482}};
  auto& rows = page.rows;
  static const char16_t* const kColourEnglish[] = {u"Yellow", u"Blue", u"Pink", u"Green", u"Red", u"Cyan", u"White"};
  static const char16_t* const kColourKorean[] = {u"노랑", u"파랑", u"분홍", u"초록", u"빨강", u"청록", u"흰색"};
  for (int k = 0; k < 7; ++k) {
    const int x = 184 + 96 * (k % 4);
    const int y = k < 4 ? 348 : 392;
    rows.push_back(
        {k, Named("cycle_colour", k), {x, y, 90, 36}, Look::ColourChip, kColourEnglish[k], kColourKorean[k], k});
  }
  rows.push_back({7, "mode_breathing", {184, 104, 184, 30}, Look::Button, u"Breathing", u"호흡"});
  rows.push_back({8, "mode_cycle", {376, 104, 184, 30}, Look::Button, u"Colour cycle", u"색상 순환"});
  rows.push_back({9, "mode_steady", {184, 140, 184, 30}, Look::Button, u"Steady", u"고정"});
  rows.push_back({10, "mode_off", {376, 140, 184, 30}, Look::Button, u"Off", u"끄기"});
  // Rows 11..16 are the speeds 5..0: the slowest sits on the left.
  for (int speed = 0; speed <= 5; ++speed) {
    rows.push_back({16 - speed,
                    Named("speed", speed),
                    {234 + 46 * speed, 212, 42, 28},
                    Look::Segment,
                    DecimalText(speed + 1),
                    DecimalText(speed + 1)});
  }
  rows.push_back({17, "dpi_caption", {604, 420, 130, 30}, Look::Tag, u"Current DPI", u"현재 DPI"});
  rows.push_back({18, "dpi_value", {740, 420, 132, 30}, Look::Readout, u"DPI", u"DPI"});
  rows.push_back({19, "slow", {184, 212, 44, 28}, Look::Plate, u"Slow", u"느림"});
  rows.push_back({20, "fast", {512, 212, 48, 28}, Look::Plate, u"Fast", u"빠름"});
  rows.push_back({21, "mode_title", {180, 74, 190, 22}, Look::Title, u"Lighting mode", u"조명 모드"});
  rows.push_back({22, "speed_title", {180, 182, 190, 22}, Look::Title, u"Cycle speed", u"순환 속도"});
  rows.push_back({23, "colours_title", {180, 316, 190, 22}, Look::Title, u"Cycle colours", u"순환 색상"});
  rows.push_back({24, "preview_title", {600, 74, 190, 22}, Look::Title, u"Preview", u"미리 보기"});
  rows.push_back({25,
                  "speed_hint",
                  {180, 252, 390, 20},
                  Look::Caption,
                  u"Speed applies to breathing and colour cycle.",
                  u"속도는 호흡과 색상 순환에 적용됩니다."});
  rows.push_back({26,
                  "colours_hint",
                  {180, 446, 390, 20},
                  Look::Caption,
                  u"Click a colour to add it to the cycle or take it out.",
                  u"색상을 누르면 순환에 넣거나 뺍니다."});
  rows.push_back({27,
                  "last_colour_hint",
                  {180, 470, 390, 20},
                  Look::Caption,
                  u"The last colour that is on stays on.",
                  u"마지막으로 켜진 색상은 꺼지지 않습니다."});
  rows.push_back(
      {28, "dpi_hint", {600, 462, 276, 20}, Look::Caption, u"DPI of the level in use", u"사용 중인 단계의 DPI"});
  rows.push_back({29,
                  "preview_hint",
                  {600, 486, 276, 20},
                  Look::Caption,
                  u"The preview follows the mode.",
                  u"미리 보기는 조명 모드를 따릅니다."});
  rows.push_back({30,
                  "apply_hint",
                  {600, 510, 276, 20},
                  Look::Caption,
                  u"Apply sends lighting to the mouse.",
                  u"적용을 누르면 마우스에 보냅니다."});
  rows.push_back({31,
                  "cycle_caption",
                  {184, 500, 376, 28},
                  Look::Plate,
                  u"Used by the colour cycle mode",
                  u"색상 순환 모드에서 사용됩니다"});
  rows.push_back({32, "preview", {604, 104, 268, 300}, Look::Preview, u"", u""});
  return page;
}

// ---- Advanced page: macros, system speeds, fire time, report rate ----

constexpr Box kNameEdit{252, 142, 196, 26};
constexpr Box kRepeatEdit{362, 510, 48, 24};
constexpr Box kMacroList{184, 202, 150, 262};
constexpr Box kEventList{342, 202, 250, 262};
// Keeps the repeat-count edit out of the area that partial repaints cover.
constexpr Box kCutOut{360, 508, 52, 28};

PageSpec MakeAdvancedPage() {
  PageSpec page;
  page.panels = {{168, 66, 440, 482}, {618, 66, 270, 482}};
  auto& rows = page.rows;
  rows.push_back({0, "macro_import", {184, 104, 99, 28}, Look::Button, u"Import", u"가져오기"});
  rows.push_back({1, "macro_export", {287, 104, 99, 28}, Look::Button, u"Export", u"내보내기"});
  rows.push_back({2, "macro_add", {390, 104, 99, 28}, Look::Button, u"New", u"추가"});
  rows.push_back({3, "macro_delete", {493, 104, 99, 28}, Look::Button, u"Delete", u"삭제"});
  rows.push_back({4, "record", {454, 142, 66, 26}, Look::Button, u"Record", u"녹화"});
  rows.push_back({5, "macro_save", {526, 142, 66, 26}, Look::Button, u"Save", u"매크로 저장"});
  rows.push_back({6, "mode_repeat", {270, 508, 86, 28}, Look::Button, u"Repeat", u"반복"});
  rows.push_back({7, "mode_held", {474, 508, 118, 28}, Look::Button, u"While held", u"누르는 동안"});
  for (int v = 0; v < 10; ++v) {
    rows.push_back({8 + v,
                    Named("pointer_speed", v),
                    {632 + 24 * v, 130, 23, 28},
                    Look::Segment,
                    DecimalText(v + 1),
                    DecimalText(v + 1)});
  }
  for (int v = 0; v < 10; ++v) {
    rows.push_back({18 + v,
                    Named("scroll_lines", v),
                    {632 + 24 * v, 196, 23, 28},
                    Look::Segment,
                    DecimalText(v + 1),
                    DecimalText(v + 1)});
  }
  rows.push_back({28, "pointer_caption", {632, 104, 242, 22}, Look::Plate, u"Pointer speed", u"포인터 속도"});
  rows.push_back({29, "scroll_caption", {632, 170, 242, 22}, Look::Plate, u"Scroll lines", u"스크롤 줄 수"});
  rows.push_back({30, "fire_bar", {632, 264, 176, 22}, Look::Slider, u"", u""});
  rows.push_back({31, "fire_up", {846, 262, 28, 26}, Look::Button, u"+", u"+"});
  rows.push_back({32, "fire_down", {814, 262, 28, 26}, Look::Button, u"-", u"-"});
  rows.push_back({33, "fire_caption", {632, 236, 242, 22}, Look::Plate, u"Rapid-fire time", u"연사 시간"});
  static const char16_t* const kRates[] = {u"125 Hz", u"250 Hz", u"500 Hz", u"1000 Hz"};
  for (int v = 0; v < 4; ++v) {
    rows.push_back({34 + v, Named("report_rate", v), {632 + 61 * v, 328, 59, 28}, Look::Segment, kRates[v], kRates[v]});
  }
  rows.push_back({38, "rate_caption", {632, 302, 242, 22}, Look::Plate, u"Report rate", u"보고 속도"});
  rows.push_back({39, "name_caption", {184, 142, 64, 26}, Look::Tag, u"Name", u"이름"});
  rows.push_back({40, "list_caption", {184, 178, 150, 20}, Look::Plate, u"Macro list", u"매크로 목록"});
  rows.push_back({41, "events_caption", {342, 178, 250, 20}, Look::Plate, u"Events", u"이벤트"});
  rows.push_back({42, "recorded_caption", {184, 472, 150, 22}, Look::Plate, u"Recorded", u"녹화된 입력"});
  rows.push_back({43, "presses", {342, 472, 122, 22}, Look::Caption, u"[↓]0", u"[↓]0"});
  rows.push_back({44, "releases", {470, 472, 122, 22}, Look::Caption, u"[↑]0", u"[↑]0"});
  rows.push_back({45, "macro_title", {180, 74, 190, 22}, Look::Title, u"Macros", u"매크로"});
  rows.push_back({46, "system_title", {630, 74, 190, 22}, Look::Title, u"Mouse & system", u"마우스 및 시스템"});
  rows.push_back({47, "playback_caption", {184, 508, 80, 28}, Look::Tag, u"Playback", u"재생"});
  rows.push_back({48, "times_caption", {416, 508, 52, 28}, Look::Plate, u"times", u"회"});
  rows.push_back({49,
                  "system_hint",
                  {640, 400, 226, 22},
                  Look::CardLine,
                  u"Pointer speed and scroll",
                  u"포인터 속도와 스크롤 줄 수는"});
  rows.push_back({50,
                  "system_hint2",
                  {640, 424, 226, 22},
                  Look::CardLine,
                  u"lines are desktop settings.",
                  u"데스크톱 설정입니다."});
  rows.push_back({51,
                  "apply_hint",
                  {640, 448, 226, 22},
                  Look::CardLine,
                  u"Apply sends all of it.",
                  u"적용을 누르면 모두 보냅니다."});
  return page;
}

std::vector<AreaSpec> MakeAdvancedAreas() {
  return {
      {u"EDIT", 2, "cut_out", kCutOut, false},        {u"EDIT", 3, "repeat_count", kRepeatEdit},
      {u"EDIT", 4, "macro_name", kNameEdit},          {u"MACRODISPLAY", 1, "macro_list", kMacroList},
      {u"MACRODISPLAY", 2, "event_list", kEventList},
  };
}

// ---- Warning popup ----

PageSpec MakeWarningPage() {
  PageSpec page;
  page.rows = {
      {0, "confirm", {64, 96, 120, 32}, Look::WarningButton, u"Change", u"바꾸기"},
      {1, "cancel", {196, 96, 120, 32}, Look::WarningButton, u"Cancel", u"취소"},
      {2,
       "message",
       {16, 40, 348, 36},
       Look::Caption,
       u"Only this button has Left click. Change it?",
       u"왼쪽 클릭은 이 버튼에만 있습니다. 바꿀까요?"},
  };
  return page;
}

}  // namespace

const std::vector<RowSpec>& HeaderRows() {
  static const std::vector<RowSpec> rows = MakeHeader();
  return rows;
}

const PageSpec& MainPage() {
  static const PageSpec page = MakeMainPage();
  return page;
}

const PageSpec& ColourPage() {
  static const PageSpec page = MakeColourPage();
  return page;
}

const PageSpec& AdvancedPage() {
  static const PageSpec page = MakeAdvancedPage();
  return page;
}

const std::vector<AreaSpec>& AdvancedAreas() {
  static const std::vector<AreaSpec> areas = MakeAdvancedAreas();
  return areas;
}

const PageSpec& WarningPage() {
  static const PageSpec page = MakeWarningPage();
  return page;
}

const RowSpec& RowOf(const std::vector<RowSpec>& rows, int number) {
  for (const RowSpec& row : rows) {
    if (row.row == number) return row;
  }
  throw std::out_of_range("no skin row " + std::to_string(number));
}

Box MousePictureBox() { return kMousePicture; }

// Logical buttons 0..5 are the mouse's left, right, middle (wheel), forward,
// back and DPI buttons. The six boxes do not overlap.
std::array<Box, 6> MouseButtonBoxes(const Box& p) {
  const int cx = p.x + p.w / 2;
  const int split = p.h * 42 / 100;  // where the two main buttons end
  return {{
      {p.x, p.y, cx - 7 - p.x, split},                                   // left
      {cx + 7, p.y, p.Right() - cx - 7, split},                          // right
      {cx - 7, p.y + p.h * 10 / 100, 14, p.h * 20 / 100},                // wheel
      {p.x - 6, p.y + split + 8, 14, p.h * 16 / 100},                    // forward (front side button)
      {p.x - 6, p.y + split + 14 + p.h * 16 / 100, 14, p.h * 16 / 100},  // back
      {cx - 7, p.y + p.h * 31 / 100, 14, p.h * 10 / 100},                // DPI button behind the wheel
  }};
}

const std::array<FunctionName, kFunctionNameCount + 1>& FunctionNames() {
  static const std::array<FunctionName, kFunctionNameCount + 1> names = [] {
    std::array<FunctionName, kFunctionNameCount + 1> n{};
    n[1] = {u"Left click", u"왼쪽 클릭"};
    n[2] = {u"Right click", u"오른쪽 클릭"};
    n[3] = {u"Middle click", u"가운데 클릭"};
    n[4] = {u"Back", u"뒤로"};
    n[5] = {u"Forward", u"앞으로"};
    n[6] = {u"DPI cycle", u"DPI 전환"};
    // Items 7..10 of the first popup name the groups they open.
    n[7] = {u"Mouse functions", u"마우스 기능"};
    n[8] = {u"Multimedia", u"멀티미디어"};
    n[9] = {u"Macros", u"매크로"};
    n[10] = {u"Quick macros", u"빠른 매크로"};
    n[11] = {u"Rapid fire", u"연사"};
    n[12] = {u"Scroll up", u"위로 스크롤"};
    n[13] = {u"Scroll down", u"아래로 스크롤"};
    n[14] = {u"Sniper DPI", u"저감도 DPI"};
    n[15] = {u"DPI up", u"DPI 올리기"};
    n[16] = {u"DPI down", u"DPI 내리기"};
    n[17] = {u"Button off", u"버튼 끄기"};
    for (int code = 18; code <= 20; ++code) n[static_cast<std::size_t>(code)] = {u"None", u"없음"};
    n[21] = {u"Home page", u"홈페이지"};
    n[22] = {u"Media player", u"미디어 플레이어"};
    n[23] = {u"E-mail", u"이메일"};
    n[24] = {u"Volume up", u"볼륨 크게"};
    n[25] = {u"Volume down", u"볼륨 작게"};
    n[26] = {u"Previous track", u"이전 곡"};
    n[27] = {u"Next track", u"다음 곡"};
    n[28] = {u"Mute", u"음소거"};
    n[29] = {u"Play/Pause", u"재생/일시정지"};
    n[30] = {u"Calculator", u"계산기"};
    // The eight ready-made macros, in the order of the fixed-macro file.
    n[31] = {u"Copy", u"복사"};
    n[32] = {u"Paste", u"붙여넣기"};
    n[33] = {u"Cut", u"잘라내기"};
    n[34] = {u"Undo", u"실행 취소"};
    n[35] = {u"Select all", u"모두 선택"};
    n[36] = {u"Double click", u"더블 클릭"};
    n[37] = {u"Triple click", u"트리플 클릭"};
    n[38] = {u"Switch window", u"창 전환"};
    n[39] = {u"Run calculator", u"계산기 실행"};
    n[40] = {u"Terminal", u"터미널"};
    // A button with code 41.. shows its user macro's name instead.
    for (int code = 41; code <= 52; ++code) {
      n[static_cast<std::size_t>(code)] = {Numbered(u"Macro ", code - 40), Numbered(u"매크로 ", code - 40)};
    }
    n[53] = {u"None", u"없음"};
    n[54] = {u"None", u"없음"};
    return n;
  }();
  return names;
}

const std::array<unsigned, 7>& CycleColourRgb() {
  static const std::array<unsigned, 7> colours = {0xFFD21F, 0x2F7BFF, 0xFF5FC8, 0x34D870, 0xFF3B3B, 0x22D8F0, 0xF2F4F8};
  return colours;
}

}  // namespace tolvar::skinbuilder
