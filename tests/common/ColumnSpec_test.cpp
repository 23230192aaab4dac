#include <gtest/gtest.h>

#include "common/ColumnSpec.h"
#include "support/QtPrinters.h"

namespace corvane {
namespace {

TEST(ColumnSpec, ReadsCaptionsAsWrittenAndWidthsAsNumbers) {
  const auto columns = ParseColumnSpec(QStringLiteral(
      " , 20;File/Folder Name, 150;Length, 60;Size, 60;Status, 100;Audio Info., 280;Sub-folders, 50;File Path, 120"));
  ASSERT_EQ(columns.size(), 8);
  EXPECT_EQ(columns[0].caption, QStringLiteral(" "));
  EXPECT_EQ(columns[0].width, 20);
  EXPECT_EQ(columns[1].caption, QStringLiteral("File/Folder Name"));
  EXPECT_EQ(columns[5].caption, QStringLiteral("Audio Info."));
  EXPECT_EQ(columns[5].width, 280);
  EXPECT_EQ(columns[7].caption, QStringLiteral("File Path"));
  EXPECT_EQ(columns[7].width, 120);
}

TEST(ColumnSpec, StopsWhereNoFurtherPairFollows) {
  EXPECT_TRUE(ParseColumnSpec(QString()).isEmpty());
  EXPECT_TRUE(ParseColumnSpec(QStringLiteral("caption only")).isEmpty());
  const auto columns = ParseColumnSpec(QStringLiteral("#, 25x;Title,120;trailing"));
  ASSERT_EQ(columns.size(), 2);
  EXPECT_EQ(columns[0].width, 25);
  EXPECT_EQ(columns[1].caption, QStringLiteral("Title"));
  EXPECT_EQ(ParseColumnSpec(QStringLiteral("A,;B,7"))[0].width, 0);
}

}  // namespace
}  // namespace corvane
