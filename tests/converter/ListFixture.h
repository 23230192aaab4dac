#pragma once
// What the conversion-list tests share: empty in-memory settings, a temporary folder, the
// scripted user interface and a bound engine, and a way to make real source files quickly.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/MemorySettings.h"
#include "converter/ConversionList.h"
#include "engine/CAudioEngine.h"
#include "support/QtPrinters.h"
#include "support/ScriptedUserInterface.h"
#include "support/SourceFixtures.h"

namespace corvane::test {

class ListFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(engine_.BindAll().Succeeded());
  }

  QString Path(const QString& relative) const { return dir_.filePath(relative); }

  // A real one-second WAV file at `relative` (made once with ffmpeg, then copied).
  QString Wav(const QString& relative) {
    const QString path = Path(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (template_.isEmpty()) {
      template_ = Path(QStringLiteral(".template.wav"));
      MakeTone(template_, 1, 44100, 2);
    }
    EXPECT_TRUE(QFile::copy(template_, path)) << path.toStdString();
    return path;
  }

  // An empty file at `relative`, with its folders.
  QString Touch(const QString& relative) {
    const QString path = Path(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    EXPECT_TRUE(WriteAll(path, {}));
    return path;
  }

  QString Folder(const QString& relative) {
    const QString path = Path(relative);
    EXPECT_TRUE(QDir().mkpath(path));
    return path;
  }

  // The names (column 1) of all rows, in order.
  static QStringList Names(const ConversionList& list) { return Column(list, ListColumn::Name); }
  static QStringList Column(const ConversionList& list, ListColumn column) {
    QStringList texts;
    for (int row = 0; row < list.Count(); ++row) texts << list.Text(row, column);
    return texts;
  }

  QTemporaryDir dir_;
  // Files that live beside the settings (the preset file) go into a folder of their own.
  QTemporaryDir settings_dir_;
  MemorySettings store_{settings_dir_.path()};
  ScriptedUserInterface ui_;
  CAudioEngine engine_;
  QString template_;
};

}  // namespace corvane::test
