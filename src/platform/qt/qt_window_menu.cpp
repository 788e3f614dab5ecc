#include "platform/qt/qt_window_menu.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QVBoxLayout>

#include "app/window_commands.h"

namespace tolvar {

namespace {
constexpr int kAboutIconSize = 48;
}  // namespace

std::unique_ptr<QDialog> CreateAboutBox(QWidget* parent, const QIcon& icon, const AboutBoxTexts& texts) {
  auto box = std::make_unique<QDialog>(parent);
  box->setWindowTitle(QString::fromStdU16String(texts.title));
  box->setWindowIcon(icon);

  auto* picture = new QLabel;
  picture->setObjectName(QStringLiteral("icon"));
  picture->setPixmap(icon.pixmap(kAboutIconSize, kAboutIconSize));
  auto* text = new QLabel(QString::fromStdU16String(texts.text));
  text->setObjectName(QStringLiteral("text"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  QObject::connect(buttons, &QDialogButtonBox::accepted, box.get(), &QDialog::accept);

  auto* row = new QHBoxLayout;
  row->addWidget(picture, 0, Qt::AlignTop);
  row->addWidget(text, 1);
  auto* column = new QVBoxLayout(box.get());
  column->addLayout(row);
  column->addWidget(buttons);
  return box;
}

QtWindowMenu::QtWindowMenu(QWidget* window, const QIcon& icon, std::function<void(int command)> onSysCommand)
    : window_(window),
      icon_(icon),
      onSysCommand_(std::move(onSysCommand)),
      menu_(new QMenu(window)),
      shortcut_(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), window)) {
  restore_ = AddCommand(QStringLiteral("&Restore"), kScRestore);
  AddCommand(QStringLiteral("Mi&nimize"), kScMinimize);
  menu_->addSeparator();
  QAction* close = AddCommand(QStringLiteral("&Close"), kScClose);
  close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  close->setShortcutContext(Qt::WidgetShortcut);  // shown only; the window manager owns Alt+F4

  // Restore applies to a minimised or maximised window only.
  QObject::connect(menu_, &QMenu::aboutToShow, menu_, [this] {
    restore_->setEnabled((window_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) != 0);
  });
  shortcut_->setContext(Qt::WindowShortcut);
  QObject::connect(shortcut_, &QShortcut::activated, menu_, [this] { Open(); });
}

QtWindowMenu::~QtWindowMenu() {
  delete shortcut_;
  delete menu_;
}

QAction* QtWindowMenu::AddCommand(const QString& text, int command) {
  QAction* action = menu_->addAction(text);
  QObject::connect(action, &QAction::triggered, menu_, [this, command] {
    if (onSysCommand_) onSysCommand_(command);
  });
  return action;
}

void QtWindowMenu::AppendSeparator() { menu_->addSeparator(); }

void QtWindowMenu::AppendItem(int command, const std::u16string& text) {
  AddCommand(QString::fromStdU16String(text), command);
}

void QtWindowMenu::ShowAboutBox(const AboutBoxTexts& texts) {
  // Owned by the window too while it runs: it goes if the window goes.
  const QPointer<QDialog> box = CreateAboutBox(window_, icon_, texts).release();
  box->exec();
  delete box;
}

void QtWindowMenu::Open() {
  if (menu_ && window_) menu_->popup(window_->mapToGlobal(QPoint(0, 0)));
}

}  // namespace tolvar
