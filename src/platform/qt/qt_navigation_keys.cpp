#include "platform/qt/qt_navigation_keys.h"

namespace tolvar {

std::optional<NavigationKey> NavigationKeyOf(const QKeyEvent& event) {
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
  switch (event.key()) {
    case Qt::Key_Tab:
      return (event.modifiers() & Qt::ShiftModifier) ? NavigationKey::BackTab : NavigationKey::Tab;
    case Qt::Key_Backtab:
      return NavigationKey::BackTab;
    case Qt::Key_Left:
      return NavigationKey::Left;
    case Qt::Key_Right:
      return NavigationKey::Right;
    case Qt::Key_Up:
      return NavigationKey::Up;
    case Qt::Key_Down:
      return NavigationKey::Down;
    case Qt::Key_Home:
      return NavigationKey::Home;
    case Qt::Key_End:
      return NavigationKey::End;
    case Qt::Key_Space:
      return NavigationKey::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return NavigationKey::Enter;
    case Qt::Key_Escape:
      return NavigationKey::Escape;
    default:
      return std::nullopt;
  }
}

}  // namespace tolvar
