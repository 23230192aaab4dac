#pragma once
// A test that drives corvane-cli in a folder of its own, with a settings folder of its own so
// that presets and settings start fresh and the user's are never touched.
#include <gtest/gtest.h>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "support/ToolRunner.h"

namespace corvane::test {

class CliFixture : public testing::Test {
 public:
  static QString CliPath() { return QStringLiteral(CORVANE_BIN_DIR "/corvane-cli"); }

 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    environment_ = QProcessEnvironment::systemEnvironment();
    environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), Path(QStringLiteral("config")));
  }

  QString Path(const QString& relative) const { return dir_.filePath(relative); }

  // A run with the test's settings folder; a failing corvane-cli fails the test.
  ToolRun CliRun() const {
    ToolRun run;
    run.environment = environment_;
    return run;
  }

  // Runs corvane-cli whose exit status is the result under test; a hang still fails the test
  // instead of stalling the suite.
  ToolResult Cli(const QStringList& arguments, const QString& workingDirectory = {}) const {
    ToolRun run = CliRun();
    run.workingDirectory = workingDirectory;
    run.mayFail = true;
    run.timeout_ms = 240000;
    return RunTool(CliPath(), arguments, run);
  }

  QTemporaryDir dir_;
  QProcessEnvironment environment_;
};

}  // namespace corvane::test
