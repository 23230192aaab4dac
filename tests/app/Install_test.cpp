// `cmake --install` into a fresh prefix: the two programs, the manual where the help opener looks
// for it, the icon, the desktop entry, the AppStream metainfo and the manual page of corvane-cli,
// judged by the desktop's own validators.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/HelpManual.h"
#include "app/LaunchRequest.h"
#include "support/SourceFixtures.h"
#include "support/ToolRunner.h"

namespace corvane {
namespace {

const QString kAppId = QStringLiteral("com.quillon.corvane");

class InstallTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = new QTemporaryDir;
    test::ToolOutput(QStringLiteral("cmake"), {QStringLiteral("--install"), QStringLiteral(CORVANE_BIN_DIR "/.."),
                                               QStringLiteral("--prefix"), prefix_->path()});
  }
  static void TearDownTestSuite() {
    delete prefix_;
    prefix_ = nullptr;
  }

  static QString Installed(const QString& relative) { return QDir(prefix_->path()).filePath(relative); }
  static QString DesktopEntry() { return Installed(QStringLiteral("share/applications/%1.desktop").arg(kAppId)); }

  // The value of `key` in the installed desktop entry.
  static QString EntryValue(const QString& key) {
    const QString prefix = key + QLatin1Char('=');
    for (const QString& line : QString::fromUtf8(test::ReadAll(DesktopEntry())).split(QLatin1Char('\n'))) {
      if (line.startsWith(prefix)) return line.mid(prefix.size());
    }
    return {};
  }

  static QTemporaryDir* prefix_;
};

QTemporaryDir* InstallTest::prefix_ = nullptr;

TEST_F(InstallTest, EveryFileIsInItsPlace) {
  for (const char* program : {"bin/corvane", "bin/corvane-cli"}) {
    const QFileInfo info(Installed(QString::fromLatin1(program)));
    EXPECT_TRUE(info.isFile() && info.isExecutable()) << program;
  }
  const QStringList files = {QStringLiteral("share/corvane/manual/index.html"),
                             QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(kAppId),
                             QStringLiteral("share/applications/%1.desktop").arg(kAppId),
                             QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId),
                             QStringLiteral("share/man/man1/corvane-cli.1")};
  for (const QString& file : files) EXPECT_GT(QFileInfo(Installed(file)).size(), 0) << file.toStdString();
  // The help opener of the installed program finds the installed manual.
  EXPECT_EQ(HelpManualPath(Installed(QStringLiteral("bin"))),
            Installed(QStringLiteral("share/corvane/manual/index.html")));
}

TEST_F(InstallTest, ValidatorsAcceptTheDesktopEntryAndTheMetainfo) {
  const test::ToolResult desktop = test::RunTool(QStringLiteral("desktop-file-validate"), {DesktopEntry()});
  EXPECT_TRUE(desktop.out.trimmed().isEmpty()) << desktop.out.toStdString();  // no warnings either
  test::ToolOutput(QStringLiteral("appstreamcli"),
                   {QStringLiteral("validate"), QStringLiteral("--no-net"), QStringLiteral("--pedantic"),
                    Installed(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId))});
  // The manual page formats without a complaint.
  const test::ToolResult page = test::RunTool(
      QStringLiteral("man"),
      {QStringLiteral("--warnings"), QStringLiteral("-l"), Installed(QStringLiteral("share/man/man1/corvane-cli.1"))});
  EXPECT_TRUE(page.err.trimmed().isEmpty()) << page.err.toStdString();
  EXPECT_TRUE(page.out.contains("corvane-cli - convert audio files without a window")) << page.out.toStdString();
}

TEST_F(InstallTest, OpenWithHandsTheFileOverAsAConvertRequest) {
  const QStringList mimeTypes = EntryValue(QStringLiteral("MimeType")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
  for (const char* type : {"audio/mpeg", "audio/x-wav", "audio/ogg", "audio/flac", "audio/x-ape", "audio/x-musepack",
                           "audio/x-ms-wma", "audio/mp4"}) {
    EXPECT_TRUE(mimeTypes.contains(QString::fromLatin1(type))) << type;
  }
  EXPECT_EQ(EntryValue(QStringLiteral("Icon")), kAppId);

  // A launcher splits Exec at blanks and puts the file, blanks and all, in place of %f; started
  // from a menu, %f is left out.
  const QStringList exec = EntryValue(QStringLiteral("Exec")).split(QLatin1Char(' '));
  ASSERT_FALSE(exec.isEmpty());
  EXPECT_EQ(exec.front(), QStringLiteral("corvane"));
  const QString file = QStringLiteral("/home/user/My Music/01 Intro.flac");
  QStringList withFile = exec.mid(1);
  QStringList fromMenu;
  for (const QString& argument : exec.mid(1)) {
    if (argument != QStringLiteral("%f")) fromMenu << argument;
  }
  withFile.replaceInStrings(QStringLiteral("%f"), file);
  const LaunchRequest request = LaunchRequest::Parse(LaunchRequest::JoinArguments(withFile));
  EXPECT_EQ(request.mode, LaunchMode::SingleFile);
  EXPECT_EQ(request.source, file);
  EXPECT_EQ(LaunchRequest::Parse(LaunchRequest::JoinArguments(fromMenu)).mode, LaunchMode::None);
}

}  // namespace
}  // namespace corvane
