// Message boxes through QMessageBox.
#pragma once

#include <QWidget>

#include "ports/message_boxes.h"

namespace tolvar {

class QtMessageBoxes : public MessageBoxes {
 public:
  explicit QtMessageBoxes(QWidget* owner) : owner_(owner) {}
  void MessageBox(const std::u16string& text, const std::u16string& caption) override;

 private:
  QWidget* owner_;
};

}  // namespace tolvar
