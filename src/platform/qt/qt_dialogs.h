// Message boxes through QMessageBox.
#pragma once

#include <QWidget>

#include "ports/dialogs.h"

namespace tolvar {

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* owner) : owner_(owner) {}
  void MessageBox(const std::u16string& text, const std::u16string& caption) override;

 private:
  QWidget* owner_;
};

}  // namespace tolvar
