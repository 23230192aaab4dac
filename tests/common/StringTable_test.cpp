#include <gtest/gtest.h>

#include "common/PathJoin.h"
#include "common/StringTable.h"

namespace corvane {
namespace {

TEST(StringTable, EveryNumberHasOneText) {
  EXPECT_TRUE(StringTable::DuplicateIds().isEmpty()) << "numbers used twice: " << StringTable::DuplicateIds().size();
  EXPECT_TRUE(StringTable::Has(115));
  EXPECT_FALSE(StringTable::Has(-5));
  EXPECT_EQ(StringTable::Text(-5), QString());
}

TEST(FormatText, FillsFieldsInOrder) {
  EXPECT_EQ(FormatText(QStringLiteral("%s v%s"), {QStringLiteral("Corvane"), QStringLiteral("5.0")}),
            QStringLiteral("Corvane v5.0"));
  EXPECT_EQ(FormatText(QStringLiteral("Failed to load the file '%s' (error code: %d)"), {QStringLiteral("/a b"), -1}),
            QStringLiteral("Failed to load the file '/a b' (error code: -1)"));
  EXPECT_EQ(FormatText(QStringLiteral("Loading # %02d/%02d - %s"), {3, 120, QStringLiteral("x")}),
            QStringLiteral("Loading # 03/120 - x"));
  EXPECT_EQ(FormatText(QStringLiteral("%s_%02d"), {QStringLiteral("QualityItem"), 7}),
            QStringLiteral("QualityItem_07"));
  EXPECT_EQ(FormatText(QStringLiteral("%ld|%5d|%-4d|%x|%X|%.2f|100%%"), {2024, 42, 7, 255, 255, 1.005}),
            QStringLiteral("2024|   42|7   |ff|FF|1.00|100%"));
  EXPECT_EQ(FormatText(QStringLiteral("%03d"), {-5}), QStringLiteral("-05"));
}

TEST(FormatText, LeavesUnfilledAndUnknownFieldsAlone) {
  // A text holding a percent sign of its own ("%A\%M") must survive a format without arguments.
  EXPECT_EQ(FormatText(QStringLiteral("%A\\%M\\Track%N-%T"), {}), QStringLiteral("%A\\%M\\Track%N-%T"));
  EXPECT_EQ(FormatText(QStringLiteral("%s and %s"), {QStringLiteral("one")}), QStringLiteral("one and %s"));
  EXPECT_EQ(FormatText(QStringLiteral("50%"), {1}), QStringLiteral("50%"));
  // An argument text with a percent sign is not formatted again.
  EXPECT_EQ(FormatText(QStringLiteral("%s-%d"), {QStringLiteral("%d"), 1}), QStringLiteral("%d-1"));
}

TEST(JoinPath, UsesOneSeparator) {
  EXPECT_EQ(JoinPath(QString(), QStringLiteral("a.dll")), QStringLiteral("a.dll"));
  EXPECT_EQ(JoinPath(QStringLiteral("/"), QStringLiteral("a.dll")), QStringLiteral("/a.dll"));
  EXPECT_EQ(JoinPath(QStringLiteral("/opt/corvane/"), QStringLiteral("flac")), QStringLiteral("/opt/corvane/flac"));
  EXPECT_EQ(JoinPath(QStringLiteral("/opt/corvane"), QStringLiteral("flac")), QStringLiteral("/opt/corvane/flac"));
}

}  // namespace
}  // namespace corvane
