// Geometry helpers, the arc through two points and the numeric error log.
#include <cmath>
#include <limits>

#include "base/vektor.h"
#include "support/testsupport.h"

namespace planox {
namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr double kTol = 1e-12;

class Vektor : public test::Defaults {
 protected:
  void SetUp() override {
    test::Defaults::SetUp();
    ClearErrorLog();
  }
};

#define EXPECT_POINT(p, ex, ey)                                    \
  do {                                                             \
    EXPECT_NEAR(static_cast<double>((p).x), (ex), kTol) << #p;     \
    EXPECT_NEAR(static_cast<double>((p).y), (ey), kTol) << #p;     \
  } while (0)

TEST_F(Vektor, AnglesAndDirections) {
  EXPECT_NEAR(static_cast<double>(DegToRad(180)), M_PI, kTol);
  EXPECT_NEAR(static_cast<double>(RadToDeg(kPi / 2)), 90, kTol);
  EXPECT_NEAR(static_cast<double>(VectorAngle(0, 1)), M_PI / 2, kTol);
  EXPECT_NEAR(static_cast<double>(VectorAngle(0, 0)), M_PI / 2, kTol);
  EXPECT_NEAR(static_cast<double>(VectorAngle(0, -1)), -M_PI / 2, kTol);
  EXPECT_NEAR(static_cast<double>(VectorAngle(1, 1)), M_PI / 4, kTol);
  EXPECT_NEAR(static_cast<double>(VectorAngle(-1, 0)), M_PI, kTol);
  EXPECT_NEAR(static_cast<double>(VectorAngle(-1, -1)), 5 * M_PI / 4, kTol);  // up to 3 pi / 2
  EXPECT_NEAR(static_cast<double>(VectorAngle(1, -1)), -M_PI / 4, kTol);
  EXPECT_POINT(PolarToXY(kPi / 2, 2), 0, 2);
  EXPECT_NEAR(static_cast<double>(Distance(3, 4)), 5, kTol);

  EXPECT_NEAR(static_cast<double>(SweepAngle(10, 350)), 20, kTol);
  EXPECT_NEAR(static_cast<double>(SweepAngle(350, 10)), 340, kTol);
  EXPECT_NEAR(static_cast<double>(SweepAngle(90, 90)), 0, kTol);
  EXPECT_NEAR(static_cast<double>(SweepAngle(360, 0)), 0, kTol);  // a full circle sweeps 0
  EXPECT_NEAR(static_cast<double>(SweepAngle(-10, 0)), 350, kTol);
  EXPECT_NEAR(static_cast<double>(SweepAngle(730, 20)), 350, kTol);
}

TEST_F(Vektor, LogarithmsAndExponents) {
  EXPECT_EQ(Log10Checked(0), -1e30L);
  EXPECT_EQ(Log10Checked(-5), -1e30L);
  EXPECT_NEAR(static_cast<double>(Log10Checked(1000)), 3, kTol);
  EXPECT_NEAR(static_cast<double>(Power10(-2)), 0.01, kTol);
  EXPECT_EQ(FloorReal(-2.0L), -3);  // whole negative numbers go one lower
  EXPECT_EQ(FloorReal(-2.5L), -3);
  EXPECT_EQ(FloorReal(2.7L), 2);
  EXPECT_EQ(FloorReal(0), 0);
  EXPECT_EQ(DecimalExponent(0.05L), -2);
  EXPECT_EQ(DecimalExponent(250), 2);
  EXPECT_EQ(DecimalExponent(-250), 2);
  EXPECT_EQ(DecimalExponent(0), 0);
  EXPECT_EQ(DecimalExponent(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_GT(DecimalExponent(std::numeric_limits<long double>::infinity()), 4000);
}

TEST_F(Vektor, RotationAndPlacement) {
  EXPECT_POINT(Rotate(1, 0, kPi / 2), 0, 1);
  EXPECT_POINT(RotateAbout(Point{2, 1}, Point{1, 1}, kPi), 0, 1);
  EXPECT_POINT(RotateTranslate(Point{10, 10}, 90, Point{1, 0}), 10, 11);
  EXPECT_POINT(RotateTranslate(Point{0, 0}, 0, Point{2, 3}), 2, 3);
  EXPECT_POINT(ScaleRotateTranslate(Point{0, 0}, 0, Point{1, 2}, 3, 4), 3, 8);
  EXPECT_POINT(ScaleRotateTranslate(Point{5, 5}, 90, Point{1, 2}, 3, 4), -3, 8);
}

TEST_F(Vektor, ComparisonsAndLimits) {
  EXPECT_TRUE(NearlyEqual(1, 1.000009L));
  EXPECT_FALSE(NearlyEqual(1, 1.00002L));
  EXPECT_EQ(MaxReal(-1, 2), 2);
  EXPECT_EQ(MaxInt(-1, 2), 2);
  EXPECT_EQ(MinInt(-1, 2), -1);
  EXPECT_EQ(ClampInt(1, 10, 0), 1);
  EXPECT_EQ(ClampInt(1, 10, 11), 10);
  EXPECT_EQ(ClampInt(1, 10, 5), 5);
  EXPECT_EQ(ClampInt(10, 1, 5), 1);  // raised to low first, then lowered to high
}

TEST_F(Vektor, TangentIsGuarded) {
  EXPECT_NEAR(static_cast<double>(TanChecked(kPi / 4)), 1, kTol);
  EXPECT_TRUE(ErrorLog().empty());
  EXPECT_EQ(TanChecked(kPi / 2), 1e30L);
  EXPECT_EQ(TanChecked(3 * kPi / 2), 1e30L);
  ASSERT_EQ(ErrorLog().size(), 1u);  // the second message equals the first
  EXPECT_EQ(ErrorLog()[0], "Error: function tan in Unit math");
}

TEST_F(Vektor, ArcThroughTwoPoints) {
  ArcGeometry arc;
  GetArcCenter(Point{1, 0}, Point{-1, 0}, kPi, arc);  // half circle
  EXPECT_POINT(arc.centre, 0, 0);
  EXPECT_NEAR(static_cast<double>(arc.radius), 1, kTol);
  EXPECT_NEAR(static_cast<double>(arc.startAngle), 0, kTol);
  EXPECT_NEAR(static_cast<double>(arc.endAngle), M_PI, kTol);

  GetArcCenter(Point{1, 0}, Point{-1, 0}, -kPi, arc);
  EXPECT_POINT(arc.centre, 0, 0);
  EXPECT_NEAR(static_cast<double>(arc.startAngle), M_PI, kTol);
  EXPECT_NEAR(static_cast<double>(arc.endAngle), 0, kTol);

  // A half circle from a bulge of 1 computed in double precision.
  GetArcCenter(Point{0, 0}, Point{4, 0}, 4 * std::atan(1.0), arc);
  EXPECT_POINT(arc.centre, 2, 0);
  EXPECT_NEAR(static_cast<double>(arc.radius), 2, kTol);
  EXPECT_TRUE(ErrorLog().empty());

  // A quarter circle counter-clockwise: the centre lies left of the chord.
  GetArcCenter(Point{1, 0}, Point{0, 1}, kPi / 2, arc);
  EXPECT_POINT(arc.centre, 0, 0);
  EXPECT_NEAR(static_cast<double>(arc.radius), 1, kTol);
  EXPECT_NEAR(static_cast<double>(arc.startAngle), 0, kTol);
  EXPECT_NEAR(static_cast<double>(arc.endAngle), M_PI / 2, kTol);

  // Clockwise: centre to the right, angles exchanged so the arc runs
  // counter-clockwise from start to end.
  GetArcCenter(Point{1, 0}, Point{0, 1}, -kPi / 2, arc);
  EXPECT_POINT(arc.centre, 1, 1);
  EXPECT_NEAR(static_cast<double>(arc.radius), 1, kTol);
  EXPECT_NEAR(static_cast<double>(arc.startAngle), M_PI, kTol);
  EXPECT_NEAR(static_cast<double>(arc.endAngle), -M_PI / 2, kTol);
  EXPECT_TRUE(ErrorLog().empty());
}

TEST_F(Vektor, DegenerateArcs) {
  ArcGeometry arc;
  arc.centre = Point{7, 7};
  arc.radius = 3;
  GetArcCenter(Point{1, 0}, Point{-1, 0}, 0, arc);
  EXPECT_POINT(arc.centre, 7, 7);  // left as it was
  EXPECT_EQ(arc.radius, 3);
  ASSERT_EQ(ErrorLog().size(), 1u);
  EXPECT_EQ(ErrorLog()[0], "Fehler in GetArcCenter (dphi = 0 ! ");

  GetArcCenter(Point{1, 0}, Point{-1, 0}, 2 * kPi, arc);  // a full turn
  EXPECT_EQ(arc.radius, 3);
  ASSERT_EQ(ErrorLog().size(), 2u);
  EXPECT_EQ(ErrorLog()[1], "Fehler in GetArcCenter (dphi = 6.283");

  GetArcCenter(Point{1, 0}, Point{-1, 0}, std::numeric_limits<long double>::infinity(), arc);
  EXPECT_EQ(arc.radius, 3);

  // Coinciding points: the midpoint is the centre, radius 0.
  ClearErrorLog();
  GetArcCenter(Point{2, 3}, Point{2, 3}, 1, arc);
  EXPECT_POINT(arc.centre, 2, 3);
  EXPECT_EQ(arc.radius, 0);
  ASSERT_EQ(ErrorLog().size(), 1u);
  EXPECT_EQ(ErrorLog()[0], "GetArcCenter l12=0");
}

TEST_F(Vektor, ErrorLogKeepsElevenShortEntries) {
  LogError("0123456789012345678901234567890123456789");
  LogError("0123456789012345678901234567890123456789 and more");  // same first 36
  ASSERT_EQ(ErrorLog().size(), 1u);
  EXPECT_EQ(ErrorLog()[0], "012345678901234567890123456789012345");
  for (int i = 2; i <= 12; ++i) LogError("message " + std::to_string(i));
  ASSERT_EQ(ErrorLog().size(), 11u);
  EXPECT_EQ(ErrorLog()[10], "message 11");  // the twelfth is dropped
  LogError("message 2");
  EXPECT_EQ(ErrorLog().size(), 11u);
  ClearErrorLog();
  EXPECT_TRUE(ErrorLog().empty());
}

}  // namespace
}  // namespace planox
