// The file an output is written to before it is complete: unnamed where possible, never
// replacing what appeared at the output's name, and left-overs removed only when nobody holds them.
#include "output/TemporaryOutput.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "support/SourceFixtures.h"

namespace corvane {
namespace {

QStringList Entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

void Write(const TemporaryOutput& file, const QByteArray& bytes) {
  ASSERT_TRUE(test::WriteAll(file.WritePath(), bytes));
}

class TemporaryOutputTest : public testing::TestWithParam<bool> {
 protected:
  bool NeedsName() const { return GetParam(); }
  QString Out() const { return dir_.filePath(QStringLiteral("out.MP3")); }
  QTemporaryDir dir_;
};

TEST_P(TemporaryOutputTest, TakesItsNameOnlyWhereNothingIs) {
  int error = 0;
  auto file = TemporaryOutput::Create(Out(), NeedsName(), error);
  ASSERT_TRUE(file) << error;
  Write(*file, "new");
  // Unnamed files show nowhere; named ones are short and hidden.
  const QStringList shown = Entries(dir_.path());
  EXPECT_EQ(shown.size(), NeedsName() ? 1 : 0);
  if (NeedsName()) {
    EXPECT_TRUE(TemporaryOutput::IsTemporaryName(shown.first())) << qPrintable(shown.first());
  }

  // Something appeared at the name meanwhile: kept unless replacing was chosen.
  ASSERT_TRUE(test::WriteAll(Out(), "theirs"));
  EXPECT_EQ(file->MoveTo(Out(), false, error), TemporaryOutput::Commit::Exists);
  EXPECT_EQ(test::ReadAll(Out()), QByteArray("theirs"));
  EXPECT_EQ(file->MoveTo(Out(), true, error), TemporaryOutput::Commit::Done);
  EXPECT_EQ(test::ReadAll(Out()), QByteArray("new"));
  file.reset();
  EXPECT_EQ(Entries(dir_.path()), QStringList{QStringLiteral("out.MP3")});

  // Dropped before completion: nothing is left.
  file = TemporaryOutput::Create(dir_.filePath(QStringLiteral("other.MP3")), NeedsName(), error);
  ASSERT_TRUE(file);
  Write(*file, "partial");
  file.reset();
  EXPECT_EQ(Entries(dir_.path()), QStringList{QStringLiteral("out.MP3")});
}

TEST_P(TemporaryOutputTest, ANameOfAnyAllowedLengthFits) {
  const QString longest = dir_.filePath(QString(251, QLatin1Char('n')) + QStringLiteral(".MP3"));
  int error = 0;
  auto file = TemporaryOutput::Create(longest, NeedsName(), error);
  ASSERT_TRUE(file) << error;
  Write(*file, "x");
  EXPECT_EQ(file->MoveTo(longest, false, error), TemporaryOutput::Commit::Done) << error;
}

INSTANTIATE_TEST_SUITE_P(Kinds, TemporaryOutputTest, testing::Values(false, true),
                         [](const auto& param) { return param.param ? "Named" : "Unnamed"; });

TEST(TemporaryOutputSweep, RemovesOnlyLeftOversNobodyHolds) {
  QTemporaryDir dir;
  const QString left = dir.filePath(QStringLiteral(".corvane-0123abcd.FLAC"));
  const QString held = dir.filePath(QStringLiteral(".corvane-89abcdef.FLAC"));
  const QString user = dir.filePath(QStringLiteral(".corvane-notours.FLAC"));
  for (const QString& path : {left, held, user}) ASSERT_TRUE(test::WriteAll(path, "x"));
  // A writer still at work holds its file locked.
  const int fd = ::open(QFile::encodeName(held).constData(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  TemporaryOutput::SweepFolder(dir.path());
  EXPECT_EQ(Entries(dir.path()),
            (QStringList{QStringLiteral(".corvane-89abcdef.FLAC"), QStringLiteral(".corvane-notours.FLAC")}));
  ::close(fd);
  TemporaryOutput::SweepFolder(dir.path());
  EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral(".corvane-notours.FLAC")});
}

}  // namespace
}  // namespace corvane
