#include "platform/qt/x11_key_capture.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <array>

namespace tolvar {

namespace {

struct KeysymRange {
  unsigned long first;
  unsigned long last;
  int firstVk;
};

// Key symbols to virtual-key codes; left and right modifiers apart. Keypad
// keys give the number pad's codes whatever Num Lock says.
constexpr std::array<KeysymRange, 67> kKeysyms{{
    {XK_a, XK_z, 'A'},
    {XK_0, XK_9, '0'},
    {XK_F1, XK_F24, 112},
    {XK_KP_0, XK_KP_9, 96},
    {XK_Return, XK_Return, 13},
    {XK_KP_Enter, XK_KP_Enter, 13},
    {XK_Escape, XK_Escape, 27},
    {XK_BackSpace, XK_BackSpace, 8},
    {XK_Tab, XK_Tab, 9},
    {XK_ISO_Left_Tab, XK_ISO_Left_Tab, 9},
    {XK_space, XK_space, 32},
    {XK_minus, XK_minus, 189},
    {XK_equal, XK_equal, 187},
    {XK_bracketleft, XK_bracketleft, 219},
    {XK_bracketright, XK_bracketright, 221},
    {XK_backslash, XK_backslash, 220},
    {XK_grave, XK_grave, 192},
    {XK_semicolon, XK_semicolon, 186},
    {XK_apostrophe, XK_apostrophe, 222},
    {XK_comma, XK_comma, 188},
    {XK_period, XK_period, 190},
    {XK_slash, XK_slash, 191},
    {XK_Caps_Lock, XK_Caps_Lock, 20},
    {XK_Print, XK_Print, 44},
    {XK_Scroll_Lock, XK_Scroll_Lock, 145},
    {XK_Pause, XK_Pause, 19},
    {XK_Insert, XK_Insert, 45},
    {XK_Home, XK_Home, 36},
    {XK_Prior, XK_Prior, 33},
    {XK_Delete, XK_Delete, 46},
    {XK_End, XK_End, 35},
    {XK_Next, XK_Next, 34},
    {XK_Left, XK_Left, 37},
    {XK_Up, XK_Up, 38},
    {XK_Right, XK_Right, 39},
    {XK_Down, XK_Down, 40},
    {XK_Num_Lock, XK_Num_Lock, 144},
    {XK_KP_Divide, XK_KP_Divide, 111},
    {XK_KP_Multiply, XK_KP_Multiply, 106},
    {XK_KP_Subtract, XK_KP_Subtract, 109},
    {XK_KP_Add, XK_KP_Add, 107},
    {XK_KP_Separator, XK_KP_Separator, 108},
    {XK_KP_Decimal, XK_KP_Decimal, 110},
    {XK_KP_Delete, XK_KP_Delete, 110},
    {XK_KP_Insert, XK_KP_Insert, 96},
    {XK_KP_End, XK_KP_End, 97},
    {XK_KP_Down, XK_KP_Down, 98},
    {XK_KP_Next, XK_KP_Next, 99},
    {XK_KP_Left, XK_KP_Left, 100},
    {XK_KP_Begin, XK_KP_Begin, 101},
    {XK_KP_Right, XK_KP_Right, 102},
    {XK_KP_Home, XK_KP_Home, 103},
    {XK_KP_Up, XK_KP_Up, 104},
    {XK_KP_Prior, XK_KP_Prior, 105},
    {XK_Clear, XK_Clear, 12},
    {XK_Execute, XK_Execute, 43},
    {XK_Help, XK_Help, 47},
    {XK_Select, XK_Select, 41},
    {XK_Menu, XK_Menu, 93},
    {XK_Shift_L, XK_Shift_L, 160},
    {XK_Shift_R, XK_Shift_R, 161},
    {XK_Control_L, XK_Control_L, 162},
    {XK_Control_R, XK_Control_R, 163},
    {XK_Alt_L, XK_Alt_L, 164},
    {XK_Alt_R, XK_Alt_R, 165},
    {XK_ISO_Level3_Shift, XK_ISO_Level3_Shift, 165},
    {XK_Super_L, XK_Super_R, 91},
}};

}  // namespace

int VirtualKeyOfKeysym(unsigned long keysym) {
  for (const KeysymRange& range : kKeysyms) {
    if (keysym >= range.first && keysym <= range.last) return range.firstVk + static_cast<int>(keysym - range.first);
  }
  return 0;
}

X11KeyCapture::X11KeyCapture() = default;

X11KeyCapture::~X11KeyCapture() {
  Stop();
  if (display_ != nullptr) XCloseDisplay(display_);
}

bool X11KeyCapture::Start(std::function<void(CapturedKey)> deliver) {
  if (notifier_) return true;
  if (display_ == nullptr) display_ = XOpenDisplay(nullptr);
  if (display_ == nullptr) return false;
  Bool detectable = False;
  XkbSetDetectableAutoRepeat(display_, True, &detectable);
  const int grabbed =
      XGrabKeyboard(display_, DefaultRootWindow(display_), False, GrabModeAsync, GrabModeAsync, CurrentTime);
  if (grabbed != GrabSuccess) return false;
  deliver_ = std::move(deliver);
  notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &X11KeyCapture::ReadEvents);
  ReadEvents();  // events the grab's reply brought along
  return true;
}

void X11KeyCapture::Stop() {
  if (!notifier_) return;
  notifier_.reset();
  deliver_ = nullptr;
  XUngrabKeyboard(display_, CurrentTime);
  XSync(display_, False);  // the keyboard is free for others once Stop returns
}

void X11KeyCapture::ReadEvents() {
  while (display_ != nullptr && XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type != KeyPress && event.type != KeyRelease) continue;
    const KeySym keysym = XkbKeycodeToKeysym(display_, static_cast<KeyCode>(event.xkey.keycode), 0, 0);
    const int virtualKey = VirtualKeyOfKeysym(keysym);
    // A key without a code (a multimedia key, say) cannot be played back:
    // it is withheld like every key, but not delivered.
    if (virtualKey != 0 && deliver_) deliver_({event.type == KeyPress, virtualKey});
  }
}

}  // namespace tolvar
