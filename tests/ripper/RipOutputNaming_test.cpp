// Output paths of ripped tracks from the "Output Name" pattern.
#include "ripper/RipOutputNaming.h"

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

using namespace corvane;

namespace {

const QString kOut = QStringLiteral("/music/rips");
const QString kDefaultPattern = QStringLiteral("%A\\%M\\Track%N-%T");

struct NamingCase {
  const char* pattern;
  RipNameFields fields;
  FormatCode format;
  const char* expected;  // full path under kOut
};

class RipOutputNamingTest : public testing::TestWithParam<NamingCase> {};

QString PathFor(const QString& pattern, const RipNameFields& fields, FormatCode format) {
  const RipPatternParts parts = SplitRipPattern(pattern);
  return RipFilePath(RipFolderPath(kOut, parts.folder, fields), parts.file, fields, format);
}

TEST_P(RipOutputNamingTest, BuildsThePathUnderTheOutputFolder) {
  const NamingCase& c = GetParam();
  EXPECT_EQ(PathFor(QString::fromUtf8(c.pattern), c.fields, c.format), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, RipOutputNamingTest,
    testing::Values(
        // Values are cleaned one by one in the folder part, the file name as a whole.
        NamingCase{"%A\\%M\\Track%N-%T",
                   {"Who?", 3, "AC/DC", "Live: 1992"},
                   FormatCode::Mp3,
                   "/music/rips/AC_DC/Live_ 1992/Track03-Who_.mp3"},
        // "/" separates folders as "\" does.
        NamingCase{
            "%A/%M/%N %T", {"Intro", 1, "Band", "Album"}, FormatCode::Flac, "/music/rips/Band/Album/01 Intro.flac"},
        // No artist or album: "Unknown" folders, and nothing for %A in the file part.
        NamingCase{"%A\\%M\\%A%N", {"", 7, "", ""}, FormatCode::Wav, "/music/rips/Unknown/Unknown/07.wav"},
        // No folder part: straight into the output folder; numbers keep all their digits.
        NamingCase{"Track%N", {"x", 12, "a", "b"}, FormatCode::Ogg, "/music/rips/Track12.ogg"},
        NamingCase{"Track%N", {"x", 100, "a", "b"}, FormatCode::Ape, "/music/rips/Track100.ape"},
        // No "%": the pattern as it stands, cleaned, for every track.
        NamingCase{"Sub\\Same Name", {"t", 5, "a", "b"}, FormatCode::Musepack, "/music/rips/Sub/Same Name.mpc"},
        // Nothing may climb out of the output folder or hide as a dot file.
        NamingCase{"%A\\%M\\%T", {"..", 1, "..", "."}, FormatCode::Mp3, "/music/rips/Unknown/Unknown/_.mp3"},
        NamingCase{"..\\..\\%T",
                   {"../../etc/passwd", 2, "a", "b"},
                   FormatCode::Mp3,
                   "/music/rips/Unknown/Unknown/.._.._etc_passwd.mp3"},
        NamingCase{"/etc/%A", {"t", 1, "x", "y"}, FormatCode::Mp3, "/music/rips/etc/x.mp3"},
        // Control characters (a line break from CD-TEXT) never reach a name; blanks are trimmed.
        NamingCase{
            "%A\\%T", {" Line\none ", 1, "Tab\there", "b"}, FormatCode::Mp3, "/music/rips/Tab_here/Line_one.mp3"}));

// A name longer than a file system takes (255 bytes) is cut between two characters as a reader
// sees them, the file's before its extension; a folder made from the disc's texts likewise.
TEST(RipOutputNamingTest, CutsLongNamesToTheLongestAFileSystemTakes) {
  const QString latin(300, u'a');
  const QString japanese = QStringLiteral("\u65E5\u672C\u8A9E").repeated(130);  // 3 bytes a character
  const QString accented = QStringLiteral("e\u0301").repeated(100);             // 3 bytes a character
  const QString clefs = QStringLiteral("\U0001D11E").repeated(100);             // 4 bytes, a surrogate pair
  const struct {
    QString text;
    FormatCode format;
    qsizetype folder_units;  // UTF-16 units kept
    qsizetype file_units;
  } cases[] = {{latin, FormatCode::Flac, 255, 249},
               {japanese, FormatCode::Flac, 85, 83},
               {accented, FormatCode::Mp3, 2 * 85, 2 * 83},
               {clefs, FormatCode::Musepack, 2 * 63, 2 * 62}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.left(3).toStdString());
    const QString extension = catalogue::ExtensionOf(c.format).toLower();
    EXPECT_EQ(PathFor(QStringLiteral("%A\\x%T"), {c.text, 1, c.text, "b"}, c.format),
              kOut + u'/' + c.text.left(c.folder_units) + QStringLiteral("/x") + c.text.left(c.file_units) + extension);
  }
}

TEST(RipOutputNamingTest, SplitsAtTheLastSeparator) {
  EXPECT_EQ(SplitRipPattern(kDefaultPattern).folder, QStringLiteral("%A\\%M\\"));
  EXPECT_EQ(SplitRipPattern(kDefaultPattern).file, QStringLiteral("Track%N-%T"));
  EXPECT_EQ(SplitRipPattern(QStringLiteral("a/b\\c")).folder, QStringLiteral("a/b\\"));
  EXPECT_TRUE(SplitRipPattern(QStringLiteral("Track%N")).folder.isEmpty());
}

TEST(RipOutputNamingTest, CleansValuesAndWholeFolderPaths) {
  EXPECT_EQ(CleanRipNameValue(QStringLiteral("  a*b?c\"d<e>f|g/h\\i:j  "), false),
            QStringLiteral("a_b_c_d_e_f_g_h_i_j"));
  EXPECT_EQ(CleanRipNameValue(QStringLiteral("C:\\x/y"), true), QStringLiteral("C:\\x_y"));
}

}  // namespace
