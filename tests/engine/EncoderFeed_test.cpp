#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <QFileInfo>
#include <QThread>

#include <unistd.h>
#include <atomic>
#include <csignal>

#include "engine/EncoderFeed.h"
#include "support/ExternalTools.h"

namespace corvane {
namespace {

QByteArray AsBytes(const std::vector<qint16>& samples) {
  return QByteArray(reinterpret_cast<const char*>(samples.data()), static_cast<qsizetype>(samples.size() * 2));
}

TEST(EncoderFeed, FlacReceivesTheStreamBitExact) {
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("out.flac"));
  const QString flac = EncoderFeed::FindProgram(QStringLiteral("flac"), QString());
  ASSERT_FALSE(flac.isEmpty());
  auto feed = EncoderFeed::Start(
      flac, {QStringLiteral("-f"), QStringLiteral("-o"), out, QStringLiteral("-5"), QStringLiteral("-")}, 44100, 2, 16);
  ASSERT_TRUE(feed);
  const QByteArray pcm = AsBytes(test::MakeSweep(44100, 2, 44100 * 2 + 123));
  // Odd block sizes, as a short last block would be.
  for (qsizetype at = 0; at < pcm.size(); at += 44100 * 2) {
    ASSERT_TRUE(feed->Write(pcm.constData() + at, std::min<qsizetype>(44100 * 2, pcm.size() - at)));
  }
  EXPECT_EQ(feed->Stop(), EncoderFeed::Finish::Done);
  EXPECT_EQ(test::DecodeWithFfmpeg(out), pcm);
}

TEST(EncoderFeed, ProgramFolderComesBeforePath) {
  QTemporaryDir dir;
  const QString local = dir.filePath(QStringLiteral("flac"));
  ASSERT_TRUE(test::WriteAll(local, "#!/bin/sh\nexit 0\n"));
  QFile::setPermissions(local, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_EQ(EncoderFeed::FindProgram(QStringLiteral("flac"), dir.path()), local);
  EXPECT_NE(EncoderFeed::FindProgram(QStringLiteral("flac"), QDir::rootPath()), local);
  EXPECT_TRUE(EncoderFeed::FindProgram(QStringLiteral("no-such-encoder-here"), dir.path()).isEmpty());
  EXPECT_EQ(EncoderFeed::Start(QString(), {}, 44100, 2, 16), nullptr);
  EXPECT_EQ(EncoderFeed::Start(dir.filePath(QStringLiteral("missing")), {}, 44100, 2, 16), nullptr);
}

TEST(EncoderFeed, AFailingExitStatusIsAFailure) {
  // flac refuses an option it does not know, after reading nothing.
  const QString flac = EncoderFeed::FindProgram(QStringLiteral("flac"), QString());
  auto feed = EncoderFeed::Start(flac, {QStringLiteral("--no-such-option"), QStringLiteral("-")}, 44100, 2, 16);
  if (feed) {
    EXPECT_EQ(feed->Stop(), EncoderFeed::Finish::Failed);
    EXPECT_NE(feed->ExitStatus(), 0);
  }
}

TEST(EncoderFeed, AKilledEncoderStopsTakingInput) {
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("out.flac"));
  auto feed = EncoderFeed::Start(EncoderFeed::FindProgram(QStringLiteral("flac"), QString()),
                                 {QStringLiteral("-f"), QStringLiteral("-o"), out, QStringLiteral("-")}, 44100, 2, 16);
  ASSERT_TRUE(feed);
  const QByteArray block = AsBytes(test::MakeSweep(44100, 2, 22050));
  ASSERT_TRUE(feed->Write(block.constData(), block.size()));
  // Kill the encoder by its process id, the way a crash or the user would.
  const QString pids =
      QString::fromUtf8(test::RunTool(QStringLiteral("pgrep"), {QStringLiteral("-f"), out}, {.mayFail = true}).out)
          .trimmed();
  ASSERT_FALSE(pids.isEmpty());
  for (const QString& pid : pids.split(QLatin1Char('\n'))) ::kill(pid.toInt(), SIGKILL);
  bool stillTaking = true;
  for (int i = 0; i < 50 && stillTaking; ++i) stillTaking = feed->Write(block.constData(), block.size());
  EXPECT_FALSE(stillTaking);
  EXPECT_FALSE(feed->IsActive());
  EXPECT_EQ(feed->Stop(), EncoderFeed::Finish::Crashed);
}

TEST(EncoderFeed, AHungEncoderInASessionOfItsOwnIsEndedOnStop) {
  QTemporaryDir dir;
  const QString pidFile = dir.filePath(QStringLiteral("pid"));
  // Reads nothing and ignores SIGTERM: only SIGKILL ends it.
  const QString script = QStringLiteral("echo $$ > '%1'; trap '' TERM; exec sleep 600").arg(pidFile);
  std::atomic<bool> stop{false};
  EncoderFeed::Options options;
  options.stop_request = &stop;
  auto feed = EncoderFeed::Start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script}, 44100, 2, 16, options);
  ASSERT_TRUE(feed);
  pid_t pid = 0;
  for (int i = 0; i < 6000 && pid <= 0; ++i) {
    pid = QString::fromUtf8(test::ReadAll(pidFile)).trimmed().toInt();
    if (pid <= 0) QThread::msleep(10);
  }
  ASSERT_GT(pid, 0);
  // A terminal's Ctrl-C goes to this program's process group, not to the encoder's.
  EXPECT_NE(::getsid(pid), ::getsid(0));
  // A stop request is answered although the encoder takes nothing: the block stays queued.
  stop = true;
  const QByteArray block(1 << 20, '\0');
  EXPECT_TRUE(feed->Write(block.constData(), block.size()));
  EXPECT_EQ(feed->Stop([] { return false; }), EncoderFeed::Finish::Stopped);
  EXPECT_NE(::kill(pid, 0), 0) << "the encoder outlived its job";
}

TEST(EncoderFeed, RelativePathEntriesAreNeverSearched) {
  QTemporaryDir dir;
  const QString planted = dir.filePath(QStringLiteral("flac"));
  ASSERT_TRUE(test::WriteAll(planted, "#!/bin/sh\nexit 0\n"));
  QFile::setPermissions(planted, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QString saved = QDir::currentPath();
  const QByteArray path = qgetenv("PATH");
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  qputenv("PATH", ":.:" + path);
  const QString found = EncoderFeed::FindProgram(QStringLiteral("flac"), QStringLiteral("."));
  qputenv("PATH", path);
  QDir::setCurrent(saved);
  EXPECT_FALSE(found.isEmpty());
  EXPECT_NE(QFileInfo(found).canonicalFilePath(), QFileInfo(planted).canonicalFilePath());
}

}  // namespace
}  // namespace corvane
