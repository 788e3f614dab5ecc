// The one description of the delivered skin: every rectangle of every page
// with what it is, how it looks and its label in both languages. The images
// and the layout files are both made from it, so they always agree.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace tolvar::skinbuilder {

struct Box {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  int Right() const { return x + w; }
  int Bottom() const { return y + h; }
};

// How a rectangle is drawn in the normal, over and down images of its page.
enum class Look {
  Button,         // raised face; lit when hovered, accent when pressed or selected
  PrimaryButton,  // the same with an accent edge: the button that sends to the mouse
  Tab,            // page tab in the title bar
  Segment,        // one piece of a segmented selector
  Toggle,         // sliding switch, on in the down image
  Radio,          // round selector, filled in the down image
  StepCell,       // one DPI step cell; the program fills it with the level's colour
  Swatch,         // frame of a colour swatch; the program fills the inside
  Dropdown,       // assignment button with a chevron
  ColourChip,     // switch of one cycle colour (variant: the colour)
  Minimise,       // window button, drawn as an icon without a label
  Close,          // window button that hides to the tray, drawn as an icon
  WebSite,        // opens the web site: a globe icon, the same on every page
  Slider,         // the fire-time bar; the down image is the full bar
  Plate,          // flat light plate under a label drawn in black
  Tag,            // a light plate pointing at the control on its right, under a black label
  CardLine,       // one line of an information card (a light card under black labels)
  Caption,        // dark ground under a label drawn in white, red or gray
  Title,          // section title drawn in white
  Readout,        // dark display under a value drawn in white
  Brand,          // the product name, drawn in yellow
  MouseLight,     // one button of the mouse picture, lit in the over image (variant: button)
  Preview,        // the lighting preview
  WarningButton,  // dark button of the warning, its label drawn in red
};

// One row of a layout file's BUTTONPOS section.
struct RowSpec {
  int row = 0;
  std::string name;  // field 0: the row's name for skin authors
  Box box;
  Look look = Look::Button;
  std::u16string english;
  std::u16string korean;
  int variant = 0;
};

// One row of the advanced file's EDIT or MACRODISPLAY section.
struct AreaSpec {
  std::u16string section;
  int row = 0;
  std::string name;
  Box box;
  bool holdsControl = true;  // false: only kept out of partial repaints
};

struct PageSpec {
  std::vector<RowSpec> rows;
  std::vector<Box> panels;  // raised panels behind groups of controls
};

constexpr int kWindowWidth = 900;
constexpr int kWindowHeight = 560;
constexpr int kWindowRadius = 14;
constexpr int kTitleBarHeight = 56;
constexpr int kSidebarWidth = 156;

constexpr int kWarningWidth = 380;
constexpr int kWarningHeight = 150;
constexpr int kWarningRadius = 12;

// The button-function popups: width and item height; their images are
// items x height + 1 pixels high (the last line is the bottom edge).
constexpr int kMenuWidth = 200;
constexpr int kMenuItemHeight = 28;
constexpr int kMenuItems = 10;
constexpr int kSubMenuItems = 12;
constexpr int kFirstGroupItem = 7;  // items 7..10 of the first popup open a group

// Rows 0..19 of the main layout: the header shown on every page.
const std::vector<RowSpec>& HeaderRows();
// The main page's own rows 20..143 (its images also show the header).
const PageSpec& MainPage();
// The colour page's rows 0..32 (its images also show the header).
const PageSpec& ColourPage();
// The advanced page's rows 0..51 (its images also show the header).
const PageSpec& AdvancedPage();
// The places of the advanced page's native controls.
const std::vector<AreaSpec>& AdvancedAreas();
// The warning popup's rows 0..2.
const PageSpec& WarningPage();

// Row `number` of a list of rows; throws std::out_of_range when it is not there.
const RowSpec& RowOf(const std::vector<RowSpec>& rows, int number);

// The mouse picture of the main page and the rectangles of its six buttons
// (logical buttons 0..5), whose lit pictures are rows 138..143.
Box MousePictureBox();
std::array<Box, 6> MouseButtonBoxes(const Box& picture);

// Display names of the button functions: entry k names code k (entry 0 is
// not written).
struct FunctionName {
  std::u16string english;
  std::u16string korean;
};
constexpr int kFunctionNameCount = 54;
const std::array<FunctionName, kFunctionNameCount + 1>& FunctionNames();

// The seven cycle colours 0..6 (yellow, blue, pink, green, red, cyan,
// white) as the lit preview shows them, 0xRRGGBB.
const std::array<unsigned, 7>& CycleColourRgb();

}  // namespace tolvar::skinbuilder
