#include "platform/qt/qt_message_boxes.h"

#include <QMessageBox>

namespace tolvar {

void QtMessageBoxes::MessageBox(const std::u16string& text, const std::u16string& caption) {
  // Owned by the main window only while it is on screen, so a box shown
  // during start-up is a top-level window of its own.
  QWidget* parent = owner_ != nullptr && owner_->isVisible() ? owner_ : nullptr;
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdU16String(caption), QString::fromStdU16String(text),
                  QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace tolvar
