// The committed skin is the builder's output: running the builder again
// gives the same layout files and images of the same sizes.
#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include "integration/skin_builder/delivered_skin.h"

namespace tolvar::testing {
namespace {

QByteArray Bytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SkinRegeneration : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    EnsureGuiApplication();
    folder_ = new QTemporaryDir();
    QProcess builder;
    builder.start(QStringLiteral(TOLVAR_BIN_DIR "/tolvar-skin-builder"), {folder_->path()});
    finished_ = builder.waitForFinished(-1) && builder.exitStatus() == QProcess::NormalExit;
    exitCode_ = builder.exitCode();
    errors_ = QString::fromUtf8(builder.readAllStandardError()).toStdString();
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }

  static QString Built(const std::string& name) { return folder_->path() + "/" + QString::fromStdString(name); }
  static QString Committed(const std::string& name) { return QString::fromStdString(DeliveredSkinDir() + "/" + name); }

  static inline QTemporaryDir* folder_ = nullptr;
  static inline bool finished_ = false;
  static inline int exitCode_ = -1;
  static inline std::string errors_;
};

TEST_F(SkinRegeneration, BuilderSucceeds) {
  ASSERT_TRUE(finished_);
  EXPECT_EQ(exitCode_, 0) << errors_;
}

TEST_F(SkinRegeneration, LayoutFilesAreTheCommittedOnesByteForByte) {
  for (const std::string& name : LayoutFileNames()) {
    SCOPED_TRACE(name);
    const QByteArray committed = Bytes(Committed(name));
    ASSERT_FALSE(committed.isEmpty());
    EXPECT_EQ(Bytes(Built(name)), committed);
  }
}

TEST_F(SkinRegeneration, ImagesHaveTheCommittedSizes) {
  for (const std::string& name : ImageFileNames()) {
    SCOPED_TRACE(name);
    const QSize committed = QImageReader(Committed(name)).size();
    ASSERT_TRUE(committed.isValid());
    EXPECT_EQ(QImageReader(Built(name)).size(), committed);
  }
}

}  // namespace
}  // namespace tolvar::testing
