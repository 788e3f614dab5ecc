// The dialog that edits the rules per application: the rules as a list
// (application id and profile), adding one by picking an open window or by
// typing an id, removing one, the profile for every other application and
// whether notices are shown. Texts in both languages.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <cstdint>
#include <vector>

#include "config/application_rules.h"

namespace tolvar {

class ApplicationRulesDialog final : public QDialog {
  Q_OBJECT

 public:
  // verSel nonzero: English. `openWindows` are offered for picking.
  ApplicationRulesDialog(QWidget* parent, const ApplicationRules& rules, const std::vector<WindowIdentity>& openWindows,
                         std::uint8_t verSel);

  // The rules as edited (the lines of the file it did not understand kept).
  ApplicationRules Rules() const;

  // Adds a rule for `id` with profile 1, or selects the rule it already has.
  // False for an id that cannot be written in the file.
  bool AddApplication(const QString& id);

 private:
  void AddRow(const QString& id, int profile);
  void RemoveSelected();

  ApplicationRules original_;
  std::uint8_t verSel_;
  QTableWidget* table_;
  QComboBox* windows_;
  QLineEdit* typedId_;
  QComboBox* otherwise_;
  QCheckBox* notifications_;
};

}  // namespace tolvar
