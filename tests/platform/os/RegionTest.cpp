#include "platform/os/Region.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "platform/os/Gdi.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels PixelsOf(const TRegionData& r) {
  Pixels p;
  for (const TRect& q : r.Rects())
    for (int y = q.Top; y < q.Bottom; ++y)
      for (int x = q.Left; x < q.Right; ++x) p.insert({x, y});
  return p;
}

// The banded form: bands sorted and disjoint, rectangles in a band sorted and not touching,
// touching bands with the same spans merged.
void ExpectCanonical(const TRegionData& r) {
  const auto& v = r.Rects();
  for (size_t i = 0; i < v.size(); ++i) {
    ASSERT_FALSE(v[i].IsEmpty());
    if (i == 0) continue;
    const TRect& a = v[i - 1];
    const TRect& b = v[i];
    if (a.Top == b.Top) {
      ASSERT_EQ(a.Bottom, b.Bottom);
      ASSERT_LT(a.Right, b.Left);
    } else {
      ASSERT_LE(a.Bottom, b.Top);
    }
  }
}

TEST(RegionAlgebra, SetOperationsMatchPixelSets) {
  struct Case {
    std::vector<TRect> A, B;
  };
  const Case cases[] = {
      {{{0, 0, 10, 10}}, {{5, 5, 15, 15}}},
      {{{0, 0, 10, 10}}, {{20, 20, 30, 30}}},
      {{{0, 0, 10, 10}}, {{0, 0, 10, 10}}},
      {{{0, 0, 10, 10}}, {{2, 2, 8, 8}}},
      {{{0, 0, 4, 4}, {6, 0, 10, 4}}, {{3, 1, 7, 12}}},
      {{{0, 0, 10, 2}, {0, 4, 10, 6}}, {{0, 2, 10, 4}}},
      {{}, {{1, 1, 3, 3}}},
  };
  for (const Case& c : cases) {
    TRegionData a = TRegionData::FromRects(c.A), b = TRegionData::FromRects(c.B);
    Pixels pa = PixelsOf(a), pb = PixelsOf(b), expect;
    std::set_union(pa.begin(), pa.end(), pb.begin(), pb.end(), std::inserter(expect, expect.end()));
    EXPECT_EQ(PixelsOf(a.Union(b)), expect);
    expect.clear();
    std::set_intersection(pa.begin(), pa.end(), pb.begin(), pb.end(), std::inserter(expect, expect.end()));
    EXPECT_EQ(PixelsOf(a.Intersect(b)), expect);
    expect.clear();
    std::set_difference(pa.begin(), pa.end(), pb.begin(), pb.end(), std::inserter(expect, expect.end()));
    EXPECT_EQ(PixelsOf(a.Subtract(b)), expect);
    expect.clear();
    std::set_symmetric_difference(pa.begin(), pa.end(), pb.begin(), pb.end(), std::inserter(expect, expect.end()));
    EXPECT_EQ(PixelsOf(a.Xor(b)), expect);
    for (const TRegionData& r : {a.Union(b), a.Intersect(b), a.Subtract(b), a.Xor(b)}) ExpectCanonical(r);
  }
}

TEST(RegionAlgebra, RandomRectanglesStayCanonicalAndExact) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> pos(0, 40), size(1, 12);
  TRegionData acc;
  Pixels expect;
  for (int i = 0; i < 120; ++i) {
    // Operands of a few rectangles each, so that both sides have several bands.
    TRegionData operand = TRegionData::FromRects({Bounds(pos(rng), pos(rng), size(rng), size(rng)),
                                                  Bounds(pos(rng), pos(rng), size(rng), size(rng))});
    Pixels po = PixelsOf(operand), next;
    switch (i % 5) {
      case 0:
      case 1:
        acc = acc.Union(operand);
        std::set_union(expect.begin(), expect.end(), po.begin(), po.end(), std::inserter(next, next.end()));
        break;
      case 2:
        acc = acc.Subtract(operand);
        std::set_difference(expect.begin(), expect.end(), po.begin(), po.end(), std::inserter(next, next.end()));
        break;
      case 3:
        acc = acc.Xor(operand);
        std::set_symmetric_difference(expect.begin(), expect.end(), po.begin(), po.end(), std::inserter(next, next.end()));
        break;
      default: {
        TRegionData wide = operand.Union(TRegionData({0, 0, 30, 30}));
        Pixels pw = PixelsOf(wide);
        acc = acc.Intersect(wide);
        std::set_intersection(expect.begin(), expect.end(), pw.begin(), pw.end(), std::inserter(next, next.end()));
      }
    }
    expect = std::move(next);
    ExpectCanonical(acc);
    ASSERT_EQ(PixelsOf(acc), expect) << "step " << i;
  }
}

TEST(RegionAlgebra, EqualRegionsHaveOneForm) {
  TRegionData a = TRegionData::FromRects({{0, 0, 5, 10}, {5, 0, 10, 10}});
  TRegionData b = TRegionData({0, 0, 10, 5}).Union(TRegionData({0, 5, 10, 10}));
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.RectCount(), 1u);
  EXPECT_EQ(a, TRegionData({0, 0, 10, 10}));
}

TEST(RegionAlgebra, ContainsIntersectsBoundsOffset) {
  TRegionData r = TRegionData::FromRects({{0, 0, 10, 10}, {20, 5, 30, 15}});
  EXPECT_TRUE(r.Contains({0, 0}));
  EXPECT_FALSE(r.Contains({10, 0}));
  EXPECT_FALSE(r.Contains({15, 7}));
  EXPECT_TRUE(r.Contains({29, 14}));
  EXPECT_FALSE(r.Contains({29, 15}));
  EXPECT_TRUE(r.Intersects({9, 9, 21, 11}));
  EXPECT_FALSE(r.Intersects({10, 0, 20, 5}));
  EXPECT_FALSE(r.Intersects({5, 5, 5, 8}));
  EXPECT_EQ(r.Bounds(), Rect(0, 0, 30, 15));
  r.Offset(3, -2);
  EXPECT_EQ(r.Bounds(), Rect(3, -2, 33, 13));
  EXPECT_TRUE(r.Contains({32, 12}));
  EXPECT_EQ(TRegionData().Bounds(), TRect());
}

TEST(RegionShapes, EllipseIsSymmetricAndInsideBounds) {
  TRegionData e = TRegionData::Ellipse({0, 0, 20, 12});
  ExpectCanonical(e);
  EXPECT_EQ(e.Bounds(), Rect(0, 0, 20, 12));
  Pixels p = PixelsOf(e);
  for (auto [x, y] : p) {
    EXPECT_TRUE(p.count({19 - x, y})) << x << "," << y;
    EXPECT_TRUE(p.count({x, 11 - y})) << x << "," << y;
  }
  EXPECT_FALSE(e.Contains({0, 0}));
  EXPECT_TRUE(e.Contains({10, 6}));
  EXPECT_TRUE(TRegionData::Ellipse({5, 5, 5, 10}).IsEmpty());
}

TEST(RegionShapes, RoundRectCutsOnlyCorners) {
  TRegionData r = TRegionData::RoundRect({0, 0, 20, 20}, 6, 6);
  EXPECT_FALSE(r.Contains({0, 0}));
  EXPECT_TRUE(r.Contains({10, 0}));
  EXPECT_TRUE(r.Contains({0, 10}));
  EXPECT_TRUE(r.Contains({19, 10}));
  EXPECT_EQ(r.Bounds(), Rect(0, 0, 20, 20));
  EXPECT_EQ(TRegionData::RoundRect({0, 0, 20, 20}, 0, 0), TRegionData({0, 0, 20, 20}));
}

TEST(RegionShapes, PolygonFillModes) {
  // A right triangle: pixel centres below the diagonal.
  TRegionData tri = TRegionData::Polygon({{0, 0}, {10, 10}, {0, 10}}, false);
  EXPECT_EQ(tri.Bounds().Bottom, 10);
  EXPECT_TRUE(tri.Contains({1, 2}));
  EXPECT_FALSE(tri.Contains({2, 2}));
  EXPECT_TRUE(tri.Contains({0, 9}));
  EXPECT_TRUE(tri.Contains({8, 9}));
  EXPECT_FALSE(tri.Contains({9, 1}));
  // A rectangle traced twice in the same direction: alternate leaves it empty, winding full.
  std::vector<TPoint> twice = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_TRUE(TRegionData::Polygon(twice, false).IsEmpty());
  EXPECT_EQ(TRegionData::Polygon(twice, true), TRegionData({0, 0, 10, 10}));
  // A five-pointed star: the centre is a hole for alternate, filled for winding.
  std::vector<TPoint> star = {{50, 0}, {79, 90}, {2, 35}, {97, 35}, {21, 90}};
  EXPECT_FALSE(TRegionData::Polygon(star, false).Contains({50, 50}));
  EXPECT_TRUE(TRegionData::Polygon(star, true).Contains({50, 50}));
  EXPECT_TRUE(TRegionData::Polygon({{0, 0}, {5, 5}}, false).IsEmpty());
}

TEST(RegionHandles, CombineReportsComplexity) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(5, 0, 15, 10);
  HRGN d = CreateRectRgn(0, 0, 0, 0);
  struct Case {
    int Mode;
    int Result;
    TRect Box;
  };
  const Case cases[] = {
      {RGN_AND, SIMPLEREGION, {5, 0, 10, 10}},   {RGN_OR, SIMPLEREGION, {0, 0, 15, 10}},
      {RGN_XOR, COMPLEXREGION, {0, 0, 15, 10}},  {RGN_DIFF, SIMPLEREGION, {0, 0, 5, 10}},
      {RGN_COPY, SIMPLEREGION, {0, 0, 10, 10}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CombineRgn(d, a, b, c.Mode), c.Result) << c.Mode;
    RECT box;
    GetRgnBox(d, &box);
    EXPECT_EQ(box, c.Box) << c.Mode;
  }
  EXPECT_EQ(CombineRgn(d, a, a, RGN_DIFF), NULLREGION);
  EXPECT_EQ(CombineRgn(d, a, b, 99), ERROR);
  EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_OR), ERROR);
  EXPECT_EQ(CombineRgn(nullptr, a, b, RGN_OR), ERROR);
  // The destination may be one of the sources.
  EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(a, 14, 9));
  for (HRGN h : {a, b, d}) EXPECT_TRUE(DeleteObject(h));
}

TEST(RegionHandles, QueriesAndBadHandles) {
  HRGN r = CreateEllipticRgn(0, 0, 10, 10);
  RECT bounds{0, 0, 10, 10};
  HRGN q = CreateEllipticRgnIndirect(&bounds);
  EXPECT_TRUE(EqualRgn(r, q));
  EXPECT_EQ(OffsetRgn(q, 1, 0), COMPLEXREGION);
  EXPECT_FALSE(EqualRgn(r, q));
  RECT inside{4, 4, 6, 6}, outside{20, 20, 30, 30}, flipped{6, 6, 4, 4};
  EXPECT_TRUE(RectInRegion(r, &inside));
  EXPECT_TRUE(RectInRegion(r, &flipped));
  EXPECT_FALSE(RectInRegion(r, &outside));
  EXPECT_TRUE(SetRectRgn(r, 10, 10, 0, 0));
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
  EXPECT_EQ(box, Rect(0, 0, 10, 10));
  DeleteObject(r);
  DeleteObject(q);
  EXPECT_FALSE(PtInRegion(r, 1, 1));
  EXPECT_EQ(GetRgnBox(r, &box), ERROR);
  EXPECT_EQ(OffsetRgn(r, 1, 1), ERROR);
  EXPECT_FALSE(DeleteObject(r));
  EXPECT_EQ(RegionFromHandle(r), nullptr);
  EXPECT_EQ(CreatePolygonRgn(nullptr, 3, ALTERNATE), nullptr);
}

TEST(RegionHandles, SharedWithTheWindowSystem) {
  HRGN h = CreateRegionHandle(TRegionData({1, 2, 3, 4}));
  ASSERT_NE(RegionFromHandle(h), nullptr);
  EXPECT_EQ(RegionFromHandle(h)->Bounds(), Rect(1, 2, 3, 4));
  EXPECT_TRUE(SetRegionHandleData(h, TRegionData::FromRects({{0, 0, 2, 2}, {4, 0, 6, 2}})));
  EXPECT_EQ(RegionFromHandle(h)->RectCount(), 2u);
  DeleteObject(h);
  EXPECT_FALSE(SetRegionHandleData(h, TRegionData()));
  HBRUSH notRegion = CreateSolidBrush(0);
  EXPECT_EQ(RegionFromHandle(notRegion), nullptr);
  DeleteObject(notRegion);
}

}  // namespace
