#include "platform/qt/qt_desktop_dialogs.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QUrl>

namespace tolvar {

namespace {

// File names keep their bytes as the file system has them, whatever their encoding.
std::string LocalName(const QString& name) { return QFile::encodeName(name).toStdString(); }

}  // namespace

QString FileDialogFilter(const FileDialogOptions& options) {
  const QString name = QString::fromStdU16String(options.filterName);
  const QString pattern = "(" + QString::fromStdU16String(options.pattern) + ")";
  return name.endsWith(pattern) ? name : name + " " + pattern;
}

QtDesktopDialogs::~QtDesktopDialogs() {
  if (translator_) QCoreApplication::removeTranslator(translator_.get());
}

void QtDesktopDialogs::SetLanguage(std::uint8_t verSel) {
  if (translator_) {
    QCoreApplication::removeTranslator(translator_.get());
    translator_.reset();
  }
  if (verSel != 0) return;
  auto korean = std::make_unique<QTranslator>();
  if (korean->load(QLocale(QLocale::Korean, QLocale::SouthKorea), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(korean.get());
    translator_ = std::move(korean);
  }
}

std::optional<std::string> QtDesktopDialogs::OpenFile(const FileDialogOptions& options) {
  QFileDialog dialog(&owner_, QString(), QFile::decodeName(options.startFolder.c_str()), FileDialogFilter(options));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return LocalName(dialog.selectedFiles().front());
}

std::optional<std::string> QtDesktopDialogs::SaveFile(const FileDialogOptions& options) {
  QFileDialog dialog(&owner_, QString(), QFile::decodeName(options.startFolder.c_str()), FileDialogFilter(options));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QString::fromStdU16String(options.defaultSuffix));
  // Asking before an existing file is overwritten is the dialog's default.
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return LocalName(dialog.selectedFiles().front());
}

std::optional<Rgb> QtDesktopDialogs::ChooseColour(Rgb initial) {
  const QColor colour = QColorDialog::getColor(QColor(initial.r, initial.g, initial.b), nullptr);
  if (!colour.isValid()) return std::nullopt;
  return Rgb{static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
             static_cast<std::uint8_t>(colour.blue())};
}

void QtDesktopDialogs::OpenPage(const std::string& file) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(file.c_str())));
}

}  // namespace tolvar
