// The button-function popups: CMenuDlg, a column of ten items (six
// functions, four categories), and CSubMenuDlg beside it, which lists the
// hovered category's functions or the user macros. A choice assigns the
// function to the edited button; the mouse learns of it at the next Apply.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/geometry.h"
#include "base/values.h"
#include "config/profile_settings.h"
#include "macros/macro.h"
#include "ports/canvas.h"
#include "ports/image_source.h"
#include "ports/popup_window.h"
#include "skin/hot_spots.h"
#include "skin/skin_layout.h"

namespace tolvar {

inline const std::u16string kMenuWindowTitle = u"MainMenuDlg";

constexpr int kMenuItems = 10;             // painted items of the first popup
constexpr int kMenuHitBands = 12;          // bands 11 and 12 lie below the painted items
constexpr int kSubMenuMaskRows = 12;       // the secondary popup's mask holds 12 item heights
constexpr int kPopupCreateSize = 300;      // the first popup is created 300 x 300, then shaped
constexpr int kSubMenuCreateHeight = 400;  // the secondary popup 300 x 400

// The popups' process-wide state.
struct PopupState {
  int EditedButton = main_row::kAssignments.first;  // main row of the button being edited
  Point PopupOrigin;                                // screen point of the first popup (and the warning)
  int MenuHover = kNone;                            // first popup item 1..12 under the cursor
  bool MenuPressed = false;
  bool SubMenuOpen = false;
  int SubMenuCount = 0;
  int SubMenuCode = 0;  // the code chosen last in a secondary popup
  bool CloseMenuRequest = false;
};

// What the popups read and change of the program.
struct PopupContext {
  PopupState& state;
  ProfileSettings& settings;
  const FunctionLabelTable& labels;
  const UserMacroTable& userMacros;
  std::uint8_t verSel = 0;
  std::string skinsDir;
  PopupWindows& windows;
  ImageFileReader& imageReader;  // the masks' sizes
  // After the popups closed (a choice, Escape, the window system's close):
  // the main window repaints, and its paint destroys them.
  std::function<void()> afterChoice;
};

class CMenuDlg;

class CSubMenuDlg final : public PopupHandlers {
 public:
  // Creates the popup beside `menu` for the category MenuHover and shows it.
  explicit CSubMenuDlg(CMenuDlg& menu);

  void OnMouseMove(int x, int y) override;
  void OnLButtonDown(int x, int y) override;
  void OnLButtonUp(int x, int y) override;
  void OnPaint(Canvas& canvas, LayerImages& images) override;
  void OnCancel() override;

  std::vector<PopupItem> Items() const override;
  int Hovered() const { return hovered_; }
  // The centre of item 1..count, in the popup's coordinates.
  Point ItemCentre(int item) const { return {width_ / 2, (item - 1) * itemHeight_ + itemHeight_ / 2}; }
  const PopupWindow& Window() const { return *window_; }

 private:
  std::u16string Label(int item) const;
  // The popup's painted items on the screen.
  Rect ScreenRect() const;

  friend class CMenuDlg;

  CMenuDlg& menu_;
  PopupContext& ctx_;
  std::unique_ptr<PopupWindow> window_;
  int width_ = 0;
  int itemHeight_ = 0;
  int hovered_ = kNone;
  bool pressed_ = false;
};

class CMenuDlg final : public PopupHandlers {
 public:
  // Creates the popup owned by the main window, at PopupOrigin, and shows it.
  explicit CMenuDlg(PopupContext ctx);
  ~CMenuDlg() override;

  void OnMouseMove(int x, int y) override;
  void OnLButtonDown(int x, int y) override;
  void OnLButtonUp(int x, int y) override;
  void OnPaint(Canvas& canvas, LayerImages& images) override;
  void OnCancel() override;
  bool OnNavigationKey(NavigationKey key) override;
  std::vector<PopupItem> Items() const override;
  // The centre of item 1..10, in the popup's coordinates.
  Point ItemCentre(int item) const { return {width_ / 2, (item - 1) * itemHeight_ + itemHeight_ / 2}; }

  // A move or a release that another window received while it held the
  // pointer after a press (an assignment button pressed and dragged): given
  // to the popup whose items lie under the screen point, in that popup's
  // coordinates. False, and nothing done, when neither popup lies there.
  bool OnHeldPointerMove(Point screen);
  bool OnHeldPointerUp(Point screen);

  // A direct choice or a secondary popup's choice closed the popup.
  bool Closed() const { return closed_; }
  CSubMenuDlg* SubMenu() { return sub_.get(); }
  const PopupWindow& Window() const { return *window_; }

 private:
  // The secondary popup exists exactly while a category item is hovered,
  // for that category.
  void SyncSubMenu();
  // Hides both popups; they are destroyed by their owner.
  void Close();
  Rect ScreenRect() const;
  // The secondary popup when its items lie under the screen point.
  CSubMenuDlg* SubMenuAt(Point screen);

  PopupContext ctx_;
  std::unique_ptr<PopupWindow> window_;
  int width_ = 0;
  int itemHeight_ = 0;
  std::unique_ptr<CSubMenuDlg> sub_;
  int subCategory_ = kNone;
  bool closed_ = false;

  friend class CSubMenuDlg;
};

}  // namespace tolvar
