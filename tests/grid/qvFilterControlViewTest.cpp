// The builder's control and its look: a new control, fonts and settings, row metrics, level
// lines, values drawn by editor view infos, the hit test, scrolling and painting.
#include "platform/os/Theme.h"
#include "qvFilterControlTestSupport.h"

namespace {

class FilterView : public TFilterControlTest {
 protected:
  void MakeRows() { MakeSampleRows(); }
  TqvFilterControlViewInfo* View() const { return Builder->GetViewInfo(); }
  Integer FontHeight(TFont* AFont) {
    TqvScreenCanvas canvas;
    return canvas.FontHeight(AFont);
  }
  Integer TextWidth(TFont* AFont, const String& AText) {
    TqvScreenCanvas canvas;
    canvas.SetFont(AFont);
    return canvas.TextWidth(AText);
  }
};

// ---------------------------------------------------------------------------------------------
// A new control

TEST_F(FilterView, ANewControlShowsOnlyTheRootAllDisabled) {
  Show();
  EXPECT_EQ(300, New<TqvFilterControl>(Form)->GetWidth());
  EXPECT_EQ(clBtnFace, Builder->GetColor());
  EXPECT_FALSE(Builder->GetParentColor());
  ASSERT_EQ(1, Builder->GetRowCount());
  TqvGroupViewInfo* root = Builder->GetRootRow();
  EXPECT_EQ("Filter", root->ButtonText);
  EXPECT_EQ("AND", root->BoolOperatorText);
  EXPECT_EQ("<root>", root->Caption);
  EXPECT_EQ("press the button to add a new condition", View()->AddConditionCaption);
  EXPECT_EQ(qvbsDisabled, root->ButtonState);
  EXPECT_EQ(qvbsDisabled, View()->ButtonState);
  EXPECT_EQ(root, Builder->GetFocusedInfo().Row);
  EXPECT_EQ(fhkBoolOperator, Builder->GetFocusedInfo().HitKind);
}

TEST_F(FilterView, WithoutALinkTheFocusFramesTheClientArea) {
  Show();
  Builder->SetFocus();
  Pump();
  EXPECT_EQ(qvDeflatedRect(Builder->GetClientBounds(), 2), View()->FocusRect);
  // The dotted frame shows in the window, where nothing else is drawn.
  const TRect frame = View()->FocusRect;
  EXPECT_GT(CountPixels(Rect(frame.Left, frame.Bottom - 1, frame.Right, frame.Bottom), clBtnFace), 0);
  EXPECT_LT(CountPixels(Rect(frame.Left, frame.Bottom - 1, frame.Right, frame.Bottom), clBtnFace), frame.Width());
}

TEST_F(FilterView, DefaultFontsAndSettings) {
  struct {
    TqvFilterControlFont Font;
    TColor Color;
    bool Underlined;
  } cases[] = {{fcfBoolOperator, clRed, true}, {fcfItem, clGreen, true}, {fcfCondition, clMaroon, true},
               {fcfValue, clBlue, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Font);
    TFont* font = Builder->GetFont(c.Font);
    EXPECT_EQ(c.Color, font->GetColor());
    EXPECT_EQ(c.Underlined, (font->GetStyle() & fsUnderline) != 0);
    EXPECT_EQ(Builder->TControl::GetFont()->GetName(), font->GetName());
    EXPECT_FALSE(Builder->IsFontStored(c.Font));
  }
  EXPECT_TRUE(Builder->GetHotTrackOnUnfocused());
  EXPECT_EQ("<empty>", Builder->GetNullString());
  EXPECT_FALSE(Builder->IsNullStringStored());
  EXPECT_TRUE(Builder->GetShowLevelLines());
  EXPECT_FALSE(Builder->GetWantTabs());
}

TEST_F(FilterView, TheControlsFontReachesTheFourFontsButNotTheirColours) {
  Builder->TControl::GetFont()->SetName("DejaVu Serif");
  Builder->TControl::GetFont()->SetHeight(-19);
  for (TqvFilterControlFont f : {fcfBoolOperator, fcfItem, fcfCondition, fcfValue}) {
    EXPECT_EQ("DejaVu Serif", Builder->GetFont(f)->GetName());
    EXPECT_EQ(-19, Builder->GetFont(f)->GetHeight());
    EXPECT_FALSE(Builder->IsFontStored(f));
  }
  EXPECT_EQ(clGreen, Builder->GetFontItem()->GetColor());
  Builder->GetFontItem()->SetColor(clPurple);
  EXPECT_TRUE(Builder->IsFontStored(fcfItem));
  Builder->GetFontItem()->SetColor(clGreen);
  Builder->GetFontItem()->SetName("dejavu serif");
  EXPECT_FALSE(Builder->IsFontStored(fcfItem)) << "names compare without case";
}

TEST_F(FilterView, WantTabsClaimsTheTabKey) {
  Show();
  EXPECT_EQ(0, SendMessage(Builder->GetHandle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
  EXPECT_NE(0, SendMessage(Builder->GetHandle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS);
  Builder->SetWantTabs(true);
  EXPECT_NE(0, SendMessage(Builder->GetHandle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
}

TEST_F(FilterView, AWindowCreatedAgainResetsTheNullString) {
  Linked();
  Builder->SetNullString("(none)");
  EXPECT_TRUE(Builder->IsNullStringStored());
  Builder->RecreateWnd();
  Pump();
  EXPECT_EQ("<empty>", Builder->GetNullString());
}

// ---------------------------------------------------------------------------------------------
// Metrics

TEST_F(FilterView, RowHeightIsHalfAgainTheTallestFont) {
  Builder->GetFontItem()->SetHeight(-40);
  Linked();
  EXPECT_EQ(Round(FontHeight(Builder->GetFontItem()) * 1.5), View()->RowHeight);
  // The value font counts through the editor's measure of "Yy", not its own font height.
  Builder->GetFontItem()->SetHeight(Builder->TControl::GetFont()->GetHeight());
  const Integer plain = View()->RowHeight;
  Builder->GetFontValue()->SetHeight(-40);
  EXPECT_GT(View()->RowHeight, plain);
  EXPECT_GE(View()->RowHeight, Round(FontHeight(Builder->GetFontValue()) * 1.5));
}

TEST_F(FilterView, MinimumValueWidthIsMeasuredInTheControlsFont) {
  Linked();
  EXPECT_EQ(12 * TextWidth(Builder->TControl::GetFont(), "0"), View()->MinValueWidth);
  // A paint leaves other fonts on the canvas; the measure does not depend on it.
  Builder->GetFontItem()->SetHeight(-30);
  Builder->Repaint();
  Builder->Refresh();
  EXPECT_EQ(12 * TextWidth(Builder->TControl::GetFont(), "0"), View()->MinValueWidth);
}

TEST_F(FilterView, ButtonsAndIndents) {
  MakeRows();
  const Integer rowHeight = View()->RowHeight;
  const TRect client = Builder->GetClientBounds();
  TFont* font = Builder->TControl::GetFont();
  TqvGroupViewInfo* root = Builder->GetRootRow();
  EXPECT_EQ(TextWidth(font, "Filter00"), root->ButtonRect.Width());
  EXPECT_EQ(3 * TextWidth(font, "0"), Condition(1)->ButtonRect.Width());
  EXPECT_GT(root->ButtonRect.Width(), Condition(1)->ButtonRect.Width());
  EXPECT_EQ(rowHeight - 4, root->ButtonRect.Height());
  for (Integer i = 0; i < Builder->GetRowCount(); ++i) {
    TqvCustomRowViewInfo* row = Builder->GetRow(i);
    SCOPED_TRACE(i);
    EXPECT_EQ(client.Top + i * rowHeight, row->Bounds.Top);
    EXPECT_EQ(rowHeight, row->Bounds.Height());
    EXPECT_EQ(row->Level * rowHeight, row->Indent);
    EXPECT_EQ(client.Left + row->Indent + 4, row->ButtonRect.Left);
  }
  EXPECT_EQ(2, Condition(3)->Level);
  EXPECT_EQ(Condition(1)->ButtonRect.Right + 8, Condition(1)->ItemRect.Left);
  EXPECT_EQ(Condition(1)->ItemRect.Right + 8, Condition(1)->OperatorRect.Left);
  // The add-condition button sits below the last row at its indent.
  EXPECT_EQ(client.Left + Condition(4)->Indent + 4, View()->AddConditionRect.Left);
  EXPECT_EQ(TextWidth(font, View()->AddConditionCaption + "00"), View()->AddConditionRect.Width());
  EXPECT_GE(View()->AddConditionRect.Top, Condition(4)->Bounds.Bottom);
}

TEST_F(FilterView, ValuesAreLaidOutAfterTheOperatorWithSeparators) {
  MakeRows();
  TqvConditionViewInfo* between = Condition(3);
  EXPECT_EQ("and", between->Values->Separator);
  EXPECT_EQ(between->OperatorRect.Right + 8, between->Values->GetValue(0)->ValueRect.Left);
  TqvConditionViewInfo* in = Condition(4);
  EXPECT_EQ(", ", in->Values->Separator);
  EXPECT_EQ(in->OperatorRect.Right + 8 + TextWidth(Builder->GetFontValue(), "("),
            in->Values->GetValue(0)->ValueRect.Left);
  EXPECT_FALSE(in->Values->AddButtonRect.IsEmpty());
  EXPECT_EQ(in->Values->GetValue(1)->ValueRect.Right + TextWidth(Builder->GetFontValue(), ")0"),
            in->Values->AddButtonRect.Left);
  EXPECT_TRUE(between->Values->AddButtonRect.IsEmpty());
  // The widest row counts its values and the add-value button.
  EXPECT_GE(View()->MaxRowWidth, in->Values->AddButtonRect.Right - Builder->GetClientBounds().Left);
}

TEST_F(FilterView, NullValuesShowTheNullStringAndEmptyTextsTheEditorsRendering) {
  AddFilter(nullptr, 0, okEqual, String(""), "");
  Linked();
  Builder->AddCondition(nullptr);
  auto text = [](TqvValueInfo* AValue) {
    return static_cast<TqvCustomTextEditViewInfo*>(AValue->ValueViewInfo.get())->Text;
  };
  EXPECT_EQ("", text(Condition(1)->Values->GetValue(0)));
  EXPECT_EQ("<empty>", text(Condition(2)->Values->GetValue(0)));
  Builder->SetNullString("(nothing)");
  EXPECT_EQ("(nothing)", text(Condition(2)->Values->GetValue(0)));
}

TEST_F(FilterView, AHighlightedValueIsNeverNarrowerThanTheMinimum) {
  AddFilter(nullptr, 0, okEqual, String("a"), "a");
  Linked();
  TqvValueInfo* value = Condition(1)->Values->GetValue(0);
  const Integer plain = value->ValueRect.Width();
  ASSERT_LT(plain, View()->MinValueWidth);
  MoveTo(Builder, Centre(value->ValueRect));
  EXPECT_EQ(View()->MinValueWidth, value->ValueRect.Width());
  MoveTo(Builder, Centre(View()->AddConditionRect));
  EXPECT_EQ(plain, value->ValueRect.Width());
}

// ---------------------------------------------------------------------------------------------
// Hit test

TEST_F(FilterView, HitTestNamesEveryElement) {
  MakeRows();
  struct {
    Integer Row;
    TRect Rect;
    TqvFilterHitKind Kind;
    Integer ValueIndex;
  } cases[] = {
      {0, Builder->GetRootRow()->ButtonRect, fhkButton, -1},
      {0, Builder->GetRootRow()->BoolOperatorRect, fhkBoolOperator, -1},
      {0, Builder->GetRootRow()->CaptionRect, fhkNone, -1},
      {1, Condition(1)->ItemRect, fhkItem, -1},
      {1, Condition(1)->OperatorRect, fhkOperator, -1},
      {1, Condition(1)->Values->GetValue(0)->ValueRect, fhkValue, 0},
      {3, Condition(3)->Values->GetValue(1)->ValueRect, fhkValue, 1},
      {4, Condition(4)->Values->AddButtonRect, fhkAddValue, -1},
      {-1, View()->AddConditionRect, fhkAddCondition, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(HitKindName(c.Kind));
    TqvFilterHitInfo info;
    View()->GetHitInfo(0, Centre(c.Rect), info);
    EXPECT_EQ(c.Kind, info.HitKind);
    EXPECT_EQ(c.ValueIndex, info.ValueIndex);
    if (c.Row >= 0) {
      EXPECT_EQ(Builder->GetRow(c.Row), info.Row);
    }
  }
  TqvFilterHitInfo outside;
  View()->GetHitInfo(0, {-5, 5}, outside);
  EXPECT_EQ(fhkNone, outside.HitKind);
  EXPECT_EQ(Builder->GetFocusedInfo().Row, outside.Row);
}

// ---------------------------------------------------------------------------------------------
// Painting

TEST_F(FilterView, LevelLinesJoinRowsToTheirGroups) {
  MakeRows();
  const COLORREF line = RGBOf(cl3DDkShadow);
  auto column = [&](Integer x, Integer top, Integer bottom) {
    Integer n = 0;
    for (Integer y = top; y < bottom; ++y) n += Pixel({x, y}) == line;
    return n;
  };
  const Integer half = View()->RowHeight / 2;
  // Row 1 is not the last child of the root: its line runs through the whole row.
  TqvConditionViewInfo* first = Condition(1);
  const Integer x = Builder->GetRootRow()->ButtonRect.Left + first->ButtonRect.Width() / 2;
  EXPECT_GT(column(x, first->Bounds.Top, first->Bounds.Top + half), 0);
  EXPECT_GT(column(x, first->Bounds.Top + half + 1, first->Bounds.Bottom), 0);
  // Row 4 is the last child of its group: its own line stops at the middle.
  TqvConditionViewInfo* last = Condition(4);
  const Integer lx = Group(2)->ButtonRect.Left + last->ButtonRect.Width() / 2;
  EXPECT_GT(column(lx, last->Bounds.Top, last->Bounds.Top + half), 0);
  EXPECT_EQ(0, column(lx, last->Bounds.Top + half + 2, last->Bounds.Bottom));
  // The dots alternate: every other pixel down the line.
  EXPECT_NE(Pixel({x, first->Bounds.Top}), Pixel({x, first->Bounds.Top + 1}));
  Builder->SetShowLevelLines(false);
  Pump();
  EXPECT_EQ(0, column(x, first->Bounds.Top, first->Bounds.Bottom));
}

TEST_F(FilterView, AncestorsWithLaterSiblingsDrawALineThroughTheRow) {
  AddFilter(nullptr, 0, okEqual, String("a"), "a");
  TqvFilterCriteriaItemList* group = Link->Filter()->GetRoot()->AddItemList(fjkAnd);
  AddFilter(group, 1, okEqual, 1, "1");
  AddFilter(nullptr, 2, okEqual, String("z"), "z");
  Linked();
  // Row 3 (in the group) has an ancestor, the group, that is followed by row 4.
  TqvConditionViewInfo* nested = Condition(3);
  const Integer x = Builder->GetRootRow()->ButtonRect.Left + nested->ButtonRect.Width() / 2;
  Integer n = 0;
  for (Integer y = nested->Bounds.Top; y < nested->Bounds.Bottom; ++y) n += Pixel({x, y}) == RGBOf(cl3DDkShadow);
  EXPECT_GE(n, nested->Bounds.Height() / 2 - 1);
}

TEST_F(FilterView, TextsAreDrawnInTheirFonts) {
  MakeRows();
  EXPECT_GT(CountPixels(Condition(1)->ItemRect, clGreen), 0);
  EXPECT_GT(CountPixels(Condition(1)->OperatorRect, clMaroon), 0);
  EXPECT_GT(CountPixels(Builder->GetRootRow()->BoolOperatorRect, clRed), 0);
  EXPECT_GT(CountPixels(Group(2)->BoolOperatorRect, clRed), 0);
}

TEST_F(FilterView, ADisabledBuilderEmbossesItsTexts) {
  MakeRows();
  Builder->SetEnabled(false);
  Pump();
  EXPECT_EQ(qvbsDisabled, Condition(1)->ButtonState);
  EXPECT_EQ(0, CountPixels(Condition(1)->ItemRect, clGreen));
  EXPECT_GT(CountPixels(Condition(1)->ItemRect, clBtnShadow), 0);
  EXPECT_GT(CountPixels(Condition(1)->ItemRect, clBtnHighlight), 0);
}

// With themes on a disabled builder shows its values on its own face, the themed look's one
// face colour, not in boxes of another grey.
TEST_F(FilterView, ADisabledThemedBuilderShowsItsValuesOnItsFace) {
  Builder->GetLookAndFeel()->SetNativeStyle(true);
  MakeSampleRows();
  Builder->SetEnabled(false);
  RepaintOverSentinel(Builder);
  const COLORREF face = kThemedFaceColor;
  EXPECT_EQ(RGBOf(Builder->GetColor()), face);
  for (Integer row : {1, 3, 4}) {
    const TRect box = Condition(row)->Values->GetValue(0)->ValueRect;
    for (const TPoint& p : {TPoint{box.Left, box.Top}, TPoint{box.Left + 1, box.Top + 1},
                            TPoint{box.Right - 1, box.Bottom - 1}, TPoint{box.Right - 2, box.Bottom - 2}})
      EXPECT_EQ(Pixel(p), face) << "row " << row << " at " << p.X << "," << p.Y;
  }
}

// ---------------------------------------------------------------------------------------------
// Scrolling

TEST_F(FilterView, SettingTheTopRowBeforeTheFirstLayoutDoesNotDivideByZero) {
  Builder->SetLinkComponent(Link);
  for (Integer i = 0; i < 5; ++i) Builder->AddCondition(nullptr);
  ASSERT_EQ(0, View()->RowHeight);
  Builder->SetTopRow(3);
  EXPECT_EQ(3, Builder->GetTopRow());
  Builder->SetTopRow(99);
  EXPECT_EQ(5, Builder->GetTopRow());
  Builder->SetTopRow(-4);
  EXPECT_EQ(0, Builder->GetTopRow());
  Builder->SetLeftOffset(10);
  EXPECT_EQ(0, Builder->GetLeftOffset());
}

TEST_F(FilterView, RemovingRowsPullsTheTopRowBack) {
  Linked();
  for (Integer i = 0; i < 30; ++i) Builder->AddCondition(nullptr);
  ASSERT_GT(Builder->GetTopRow(), 0) << "the last added row was made visible";
  TqvControlScrollBar* bar = Builder->GetVScrollBar();
  ASSERT_TRUE(bar->GetVisible());
  EXPECT_EQ(30, bar->GetData().Max);
  EXPECT_EQ(Builder->GetTopRow(), bar->GetData().Position);
  while (Builder->GetRowCount() > 15) {
    Builder->GetFocusedInfo().Row = Builder->GetRow(Builder->GetRowCount() - 1);
    Builder->RemoveRow();
  }
  ASSERT_GT(Builder->GetTopRow(), 0);
  const Integer below = Builder->GetClientBounds().Bottom - View()->AddConditionRect.Bottom;
  EXPECT_LT(below, View()->RowHeight + 2);
}

TEST_F(FilterView, ScrollBarsMoveByRowsAndPixels) {
  Builder->SetBounds(10, 10, 200, 120);
  MakeRows();
  for (Integer i = 0; i < 10; ++i) Builder->AddCondition(nullptr);
  Builder->SetTopRow(0);
  Builder->SetLeftOffset(0);
  TqvControlScrollBar* vertical = Builder->GetVScrollBar();
  ASSERT_TRUE(vertical->GetVisible());
  Integer pos = 0;
  vertical->OnScroll(vertical, scLineDown, pos);
  EXPECT_EQ(1, Builder->GetTopRow()) << "one row a line";
  EXPECT_EQ(1, pos);
  pos = 0;
  vertical->OnScroll(vertical, scPageDown, pos);
  EXPECT_EQ(1 + vertical->GetData().PageSize, Builder->GetTopRow());
  pos = 2;
  vertical->OnScroll(vertical, scTrack, pos);
  EXPECT_EQ(2, Builder->GetTopRow());
  TqvControlScrollBar* horizontal = Builder->GetHScrollBar();
  ASSERT_TRUE(horizontal->GetVisible());
  EXPECT_EQ(View()->MaxRowWidth, horizontal->GetData().Max);
  horizontal->OnScroll(horizontal, scLineDown, pos);
  EXPECT_EQ(8, Builder->GetLeftOffset()) << "eight pixels a line";
  EXPECT_EQ(Builder->GetClientBounds().Left - 8 + 4, Builder->GetRootRow()->ButtonRect.Left)
      << "rows move left with the offset";
}

}  // namespace
