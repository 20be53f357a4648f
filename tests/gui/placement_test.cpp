#include "gui/base/placement.h"

#include <gtest/gtest.h>

namespace {

TEST(RestoredPlacement, FirstRunTakes95PercentCentred) {
  bool useDefault = false;
  EXPECT_EQ(restoredPlacement(0, 0, 0, 0, QSize(1000, 800), &useDefault), QRect(25, 20, 950, 760));
  EXPECT_TRUE(useDefault);
  // Truncated toward zero, odd remainders halved with integer division.
  EXPECT_EQ(restoredPlacement(0, 0, 0, 0, QSize(1366, 738)), QRect(34, 18, 1297, 701));
  EXPECT_EQ(restoredPlacement(0, 0, 0, 0, QSize(1, 1)), QRect(0, 0, 0, 0));
}

TEST(RestoredPlacement, StoredRectangleWithinWorkAreaIsKept) {
  bool useDefault = true;
  EXPECT_EQ(restoredPlacement(10, 20, 300, 200, QSize(1000, 800), &useDefault),
            QRect(10, 20, 300, 200));
  EXPECT_FALSE(useDefault);
  // Every bound is inclusive: a window as large as the work area, or starting at its edge.
  EXPECT_EQ(restoredPlacement(1000, 800, 1000, 800, QSize(1000, 800)), QRect(1000, 800, 1000, 800));
}

TEST(RestoredPlacement, OutOfRangeValuesFallBackToDefault) {
  const QRect fallback(25, 20, 950, 760);
  const int cases[][4] = {{0, 0, 1001, 500}, {0, 0, 500, 801}, {1001, 0, 10, 10}, {0, 801, 10, 10},
                          {-1, 0, 10, 10},   {0, -5, 10, 10},  {0, 0, 0, 10},     {0, 0, 10, -3}};
  for (const auto& c : cases) {
    bool useDefault = false;
    EXPECT_EQ(restoredPlacement(c[0], c[1], c[2], c[3], QSize(1000, 800), &useDefault), fallback)
        << c[0] << ' ' << c[1] << ' ' << c[2] << ' ' << c[3];
    EXPECT_TRUE(useDefault);
  }
}

TEST(ClampedSavePosition, RaisesNegativesToZero) {
  EXPECT_EQ(clampedSavePosition(QPoint(-8, -30)), QPoint(0, 0));
  EXPECT_EQ(clampedSavePosition(QPoint(12, -40)), QPoint(12, 0));
}

}  // namespace
