#include "platform/qt/application_rules_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

namespace tolvar {

namespace {

struct DialogTexts {
  const char16_t* title;
  const char16_t* application;
  const char16_t* profile;
  const char16_t* openWindow;
  const char16_t* addWindow;
  const char16_t* typedId;
  const char16_t* addTyped;
  const char16_t* remove;
  const char16_t* otherwise;
  const char16_t* stay;
  const char16_t* notifications;
  const char16_t* badId;
};

constexpr DialogTexts kEnglish{
    u"Profile per application",
    u"Application",
    u"Profile",
    u"Open window:",
    u"Add",
    u"Application id:",
    u"Add",
    u"Remove",
    u"Every other application:",
    u"Stay on the profile in use",
    u"Show a notice when the profile or the DPI level changes",
    u"An application id cannot be empty, contain \"=\" or begin with \"[\", \";\" or \"#\".",
};

constexpr DialogTexts kOther{
    u"응용 프로그램별 프로필",
    u"응용 프로그램",
    u"프로필",
    u"열린 창:",
    u"추가",
    u"응용 프로그램 ID:",
    u"추가",
    u"삭제",
    u"다른 모든 응용 프로그램:",
    u"사용 중인 프로필 유지",
    u"프로필이나 DPI 단계가 바뀌면 알림 표시",
    u"응용 프로그램 ID는 비어 있거나 \"=\"를 포함하거나 \"[\", \";\", \"#\"로 시작할 수 없습니다.",
};

const DialogTexts& TextsFor(std::uint8_t verSel) { return verSel != 0 ? kEnglish : kOther; }

QString Text(const char16_t* text) { return QString::fromStdU16String(text); }

QString ProfileLabel(int profile, std::uint8_t verSel) {
  return QString::fromStdU16String(std::u16string(TextsFor(verSel).profile) + u" " +
                                   std::u16string(1, static_cast<char16_t>(u'0' + profile)));
}

}  // namespace

ApplicationRulesDialog::ApplicationRulesDialog(QWidget* parent, const ApplicationRules& rules,
                                               const std::vector<WindowIdentity>& openWindows, std::uint8_t verSel)
    : QDialog(parent),
      original_(rules),
      verSel_(verSel),
      table_(new QTableWidget(0, 2, this)),
      windows_(new QComboBox(this)),
      typedId_(new QLineEdit(this)),
      otherwise_(new QComboBox(this)),
      notifications_(new QCheckBox(Text(TextsFor(verSel).notifications), this)) {
  const DialogTexts& texts = TextsFor(verSel);
  setWindowTitle(Text(texts.title));
  setObjectName(QStringLiteral("applicationRules"));

  table_->setObjectName(QStringLiteral("rules"));
  table_->setHorizontalHeaderLabels({Text(texts.application), Text(texts.profile)});
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  table_->verticalHeader()->hide();
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (const ApplicationRule& rule : rules.rules) AddRow(QString::fromStdString(rule.id), rule.profile);

  windows_->setObjectName(QStringLiteral("openWindows"));
  for (const WindowIdentity& window : openWindows) {
    const QString id = QString::fromStdString(PreferredIdOf(window));
    if (id.isEmpty() || windows_->findData(id) >= 0) continue;
    QString label = id;
    if (!window.programFile.empty() && window.programFile != PreferredIdOf(window)) {
      label += QStringLiteral("  (") + QString::fromStdString(window.programFile) + QStringLiteral(")");
    }
    windows_->addItem(label, id);
  }
  typedId_->setObjectName(QStringLiteral("typedId"));

  otherwise_->setObjectName(QStringLiteral("otherwise"));
  otherwise_->addItem(Text(texts.stay), 0);
  for (int profile = kFirstProfile; profile <= kLastProfile; ++profile) {
    otherwise_->addItem(ProfileLabel(profile, verSel), profile);
  }
  otherwise_->setCurrentIndex(std::max(0, otherwise_->findData(rules.otherwise)));
  notifications_->setObjectName(QStringLiteral("notifications"));
  notifications_->setChecked(rules.notifications);

  auto* addWindow = new QPushButton(Text(texts.addWindow), this);
  addWindow->setObjectName(QStringLiteral("addWindow"));
  addWindow->setEnabled(windows_->count() > 0);
  auto* addTyped = new QPushButton(Text(texts.addTyped), this);
  addTyped->setObjectName(QStringLiteral("addTyped"));
  auto* remove = new QPushButton(Text(texts.remove), this);
  remove->setObjectName(QStringLiteral("remove"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(Text(texts.openWindow), this), 0, 0);
  grid->addWidget(windows_, 0, 1);
  grid->addWidget(addWindow, 0, 2);
  grid->addWidget(new QLabel(Text(texts.typedId), this), 1, 0);
  grid->addWidget(typedId_, 1, 1);
  grid->addWidget(addTyped, 1, 2);
  grid->addWidget(remove, 2, 2);
  grid->addWidget(new QLabel(Text(texts.otherwise), this), 3, 0);
  grid->addWidget(otherwise_, 3, 1, 1, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addLayout(grid);
  layout->addWidget(notifications_);
  layout->addWidget(buttons);
  resize(520, 420);

  connect(addWindow, &QPushButton::clicked, this, [this] { AddApplication(windows_->currentData().toString()); });
  connect(addTyped, &QPushButton::clicked, this, [this] {
    if (AddApplication(typedId_->text().trimmed())) {
      typedId_->clear();
    } else {
      QMessageBox::warning(this, windowTitle(), Text(TextsFor(verSel_).badId));
    }
  });
  connect(remove, &QPushButton::clicked, this, &ApplicationRulesDialog::RemoveSelected);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool ApplicationRulesDialog::AddApplication(const QString& id) {
  if (!IsValidApplicationId(id.toStdString())) return false;
  for (int row = 0; row < table_->rowCount(); ++row) {
    if (table_->item(row, 0)->text().compare(id, Qt::CaseInsensitive) == 0) {
      table_->selectRow(row);
      return true;
    }
  }
  AddRow(id, kFirstProfile);
  table_->selectRow(table_->rowCount() - 1);
  return true;
}

void ApplicationRulesDialog::AddRow(const QString& id, int profile) {
  const int row = table_->rowCount();
  table_->insertRow(row);
  table_->setItem(row, 0, new QTableWidgetItem(id));
  auto* choice = new QComboBox(table_);
  for (int p = kFirstProfile; p <= kLastProfile; ++p) choice->addItem(ProfileLabel(p, verSel_), p);
  choice->setCurrentIndex(std::max(0, choice->findData(profile)));
  table_->setCellWidget(row, 1, choice);
}

void ApplicationRulesDialog::RemoveSelected() {
  const int row = table_->currentRow();
  if (row >= 0) table_->removeRow(row);
}

ApplicationRules ApplicationRulesDialog::Rules() const {
  ApplicationRules rules = original_;
  rules.rules.clear();
  for (int row = 0; row < table_->rowCount(); ++row) {
    const auto* choice = static_cast<const QComboBox*>(table_->cellWidget(row, 1));
    rules.rules.push_back({table_->item(row, 0)->text().toStdString(), choice->currentData().toInt()});
  }
  rules.otherwise = otherwise_->currentData().toInt();
  rules.notifications = notifications_->isChecked();
  return rules;
}

}  // namespace tolvar
