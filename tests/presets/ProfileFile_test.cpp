// Our private-profile file: the reading and writing rules that stored preset files rely on.
#include "presets/ProfileFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/SourceFixtures.h"

namespace corvane {
namespace {

class Profile : public testing::Test {
 protected:
  ProfileFile Loaded(const QByteArray& text) {
    EXPECT_TRUE(test::WriteAll(path_, text));
    ProfileFile profile(path_);
    EXPECT_TRUE(profile.Load());
    return profile;
  }

  QTemporaryDir dir_;
  QString path_ = dir_.filePath(QStringLiteral("x.ini"));
};

TEST_F(Profile, NamesMatchWithoutCaseAndValuesAreUnquoted) {
  const ProfileFile profile = Loaded(
      "; a comment\r\n[Alpha]\r\n  Name = \"Quoted value\"  \r\nsingle='x'\r\n"
      "Number= 42abc\r\nNegative=-7\r\nWord=abc\r\n[alpha]\r\nName=second\r\n");
  EXPECT_EQ(profile.ReadText(QStringLiteral("ALPHA"), QStringLiteral("name")), QStringLiteral("Quoted value"));
  EXPECT_EQ(profile.ReadText(QStringLiteral("alpha"), QStringLiteral("SINGLE")), QStringLiteral("x"));
  EXPECT_EQ(profile.ReadNumber(QStringLiteral("Alpha"), QStringLiteral("Number"), 0), 42);
  EXPECT_EQ(profile.ReadNumber(QStringLiteral("Alpha"), QStringLiteral("Negative"), 0), -7);
  EXPECT_EQ(profile.ReadNumber(QStringLiteral("Alpha"), QStringLiteral("Word"), 5), 0);
  EXPECT_EQ(profile.ReadNumber(QStringLiteral("Alpha"), QStringLiteral("Missing"), 5), 5);
  EXPECT_EQ(profile.ReadText(QStringLiteral("Beta"), QStringLiteral("Name"), QStringLiteral("d")), QStringLiteral("d"));
  EXPECT_TRUE(profile.HasSection(QStringLiteral("ALPHA")));
}

TEST_F(Profile, WritesKeepOrderAndEverythingElse) {
  ProfileFile profile = Loaded("; keep me\n[B]\nk=1\n\n[A]\nx=2\n");
  profile.WriteNumber(QStringLiteral("b"), QStringLiteral("K"), 5);  // replaced in place, spelling kept
  profile.WriteText(QStringLiteral("B"), QStringLiteral("new"), QStringLiteral("v"));
  profile.WriteText(QStringLiteral("C"), QStringLiteral("line"), QStringLiteral("one\ntwo"));
  EXPECT_EQ(profile.Serialize(), QByteArray("; keep me\n[B]\nk=5\nnew=v\n\n[A]\nx=2\n[C]\nline=one two\n"));
  ASSERT_TRUE(profile.Save());
  ProfileFile reread(path_);
  ASSERT_TRUE(reread.Load());
  EXPECT_EQ(reread.Serialize(), profile.Serialize());
}

TEST_F(Profile, MissingFileAndUnwritableFolder) {
  ProfileFile missing(dir_.filePath(QStringLiteral("none.ini")));
  EXPECT_FALSE(missing.Load());
  EXPECT_EQ(missing.ReadNumber(QStringLiteral("A"), QStringLiteral("b"), 3), 3);
  ProfileFile nowhere(dir_.filePath(QStringLiteral("no/folder/x.ini")));
  nowhere.WriteNumber(QStringLiteral("A"), QStringLiteral("b"), 1);
  EXPECT_FALSE(nowhere.Save());
}

TEST_F(Profile, NonAsciiTextsSurvive) {
  ProfileFile profile(path_);
  profile.WriteText(QStringLiteral("QualityItem_01"), QStringLiteral("NAME"), QStringLiteral("Qualität ドラム"));
  ASSERT_TRUE(profile.Save());
  ProfileFile reread(path_);
  reread.Load();
  EXPECT_EQ(reread.ReadText(QStringLiteral("qualityitem_01"), QStringLiteral("name")),
            QStringLiteral("Qualität ドラム"));
}

TEST_F(Profile, ByteOrderMarkAndLatin1FilesRead) {
  const ProfileFile marked = Loaded("\xEF\xBB\xBF[QualityVersion]\r\nVersion=5.0\r\n");
  EXPECT_EQ(marked.ReadText(QStringLiteral("QualityVersion"), QStringLiteral("Version")), QStringLiteral("5.0"));
  const ProfileFile latin1 = Loaded("[A]\nNAME=Qualit\xE4t\n");
  EXPECT_EQ(latin1.ReadText(QStringLiteral("A"), QStringLiteral("NAME")), QStringLiteral("Qualität"));
}

}  // namespace
}  // namespace corvane
