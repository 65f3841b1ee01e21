// Tree list columns: assigned settings and their defaults, positions in the column list and in
// band rows, assignment of every setting, the view data of cells drawn without an editor, the
// editor's configuration, and leaving the control.
#include <functional>

#include "platform/rtl/Classes.h"
#include "platform/rtl/StringList.h"
#include "treelist/zmMaskEdit.h"
#include "treelist/zmTextEdit.h"
#include "zmTLTestSupport.h"

namespace {

class zmTLColumns : public TzmTreeListTest {};

TEST_F(zmTLColumns, TheDefaultWidthIsNotAssigned) {
  TzmTreeListColumn* c = Column();
  EXPECT_EQ(c->GetWidth(), 100);
  EXPECT_FALSE(c->IsAssigned(zmcvWidth));
  c->SetWidth(100);
  EXPECT_FALSE(c->IsAssigned(zmcvWidth)) << "the default width stays unassigned";
  c->SetWidth(10);
  EXPECT_EQ(c->GetWidth(), 20) << "never below MinWidth";
  EXPECT_TRUE(c->IsAssigned(zmcvWidth));
  c->SetMinWidth(-4);
  EXPECT_EQ(c->GetMinWidth(), 0);
  c->SetMinWidth(60);
  EXPECT_EQ(c->GetWidth(), 60) << "a larger minimum widens the column";
}

class TCaptionWidthColumn : public TzmTreeListColumn {
  QJ_INLINE_CLASS(TCaptionWidthColumn, TzmTreeListColumn)
 public:
  using TzmTreeListColumn::TzmTreeListColumn;

 protected:
  Integer GetDefaultWidth() override { return 50 + 10 * static_cast<Integer>(GetCaption().size()); }
};

TEST_F(zmTLColumns, ACaptionReappliesTheDefaultWidthWhileNoWidthIsAssigned) {
  TzmTreeListColumn* c = Tree->CreateColumn(&TCaptionWidthColumn::StaticClass(), Form);
  c->SetCaption("abcd");
  EXPECT_EQ(c->GetWidth(), 90);
  c->SetWidth(70);
  c->SetCaption("ab");
  EXPECT_EQ(c->GetWidth(), 70);
}

TEST_F(zmTLColumns, UnassignedSettingsFollowTheControl) {
  TzmTreeListColumn* c = Column();
  EXPECT_FALSE(c->GetReadOnly());
  Tree->SetReadOnly(true);
  EXPECT_TRUE(c->GetReadOnly());
  Tree->SetColor(clYellow);
  EXPECT_EQ(c->GetColor(), clYellow);
  c->SetColor(clRed);
  Tree->SetColor(clLime);
  EXPECT_EQ(c->GetColor(), clRed);
  Tree->GetFont()->SetSize(17);
  EXPECT_EQ(c->GetFont()->GetSize(), 17);
  EXPECT_FALSE(c->IsAssigned(zmcvFont));
  Tree->GetFont()->SetSize(9);
  EXPECT_EQ(c->GetFont()->GetSize(), 9) << "an unassigned font follows the control's";
  c->GetFont()->SetSize(21);
  EXPECT_TRUE(c->IsAssigned(zmcvFont));
  Tree->GetFont()->SetSize(11);
  EXPECT_EQ(c->GetFont()->GetSize(), 21);
}

TEST_F(zmTLColumns, CreatedColumnsAreNamedAfterTheControlWithTheFirstFreeNumber) {
  Column();
  Column();
  auto* taken = New<TComponent>(Form);
  taken->SetName("TreeColumn3");
  TzmTreeListColumn* c = Column();
  EXPECT_EQ(c->GetName(), "TreeColumn4");
  EXPECT_EQ(c->GetTreeList(), Tree);
  EXPECT_EQ(c->GetIndex(), 2);
}

TEST_F(zmTLColumns, TheColumnClassesAreRegistered) {
  EXPECT_EQ(GetClass("TzmTreeListColumn"), &TzmTreeListColumn::StaticClass());
  EXPECT_EQ(GetClass("TzmTreeListMaskColumn"), &TzmTreeListMaskColumn::StaticClass());
}

TEST_F(zmTLColumns, ColIndexMovesAColumnWithinItsBandRow) {
  TzmTreeListColumn* a = Column("a");
  TzmTreeListColumn* b = Column("b");
  TzmTreeListColumn* c = Column("c");
  EXPECT_EQ(b->GetColIndex(), 1);
  b->SetColIndex(0);
  EXPECT_EQ(b->GetIndex(), 0);
  EXPECT_EQ(a->GetIndex(), 1);
  b->SetColIndex(2);
  EXPECT_EQ(b->GetIndex(), 2) << "the last position moves it after the last column";
  EXPECT_EQ(c->GetColIndex(), 1);
  c->SetVisible(false);
  EXPECT_EQ(c->GetColIndex(), 1) << "a hidden column answers the visible count - 1";
}

TEST_F(zmTLColumns, MovingAColumnMovesEveryNodesString) {
  Column("a");
  Column("b");
  TzmTreeListColumn* c = Column("c");
  TzmTreeListNode* full = Node("0");
  full->SetStrings(1, "1");
  full->SetStrings(2, "2");
  TzmTreeListNode* collapsed = Node("x", Node("parent"));
  TzmTreeListNode* hidden = Tree->CreateNode();
  hidden->SetStrings(0, "h");
  Tree->AddHiddenNode(hidden);
  ASSERT_EQ(Tree->ColumnCount(), 3);
  Tree->ColumnAt(0)->SetIndex(2);
  EXPECT_EQ(Tree->ColumnAt(2)->GetCaption(), "a");
  EXPECT_EQ(full->GetStrings(0), "1");
  EXPECT_EQ(full->GetStrings(1), "2");
  EXPECT_EQ(full->GetStrings(2), "0");
  EXPECT_EQ(collapsed->GetStrings(2), "x") << "collapsed nodes follow";
  EXPECT_EQ(hidden->GetStrings(2), "h") << "hidden nodes follow, padded first";
  EXPECT_EQ(hidden->GetStrings(0), "");
  c->SetIndex(-3);
  EXPECT_EQ(c->GetIndex(), 0) << "clamped";
}

TEST_F(zmTLColumns, BandAndRowIndexesAreClamped) {
  TzmTreeListColumn* c = Column();
  c->SetBandIndex(5);
  EXPECT_EQ(c->GetBandIndex(), 0);
  c->SetBandIndex(-9);
  EXPECT_EQ(c->GetBandIndex(), -1);
  c->SetBandIndex(0);
  c->SetRowIndex(3);
  EXPECT_EQ(c->GetRowIndex(), 0) << "one header row";
  Tree->SetHeaderPanelRowCount(3);
  c->SetRowIndex(7);
  EXPECT_EQ(c->GetRowIndex(), 0) << "a column alone in its band closes the gap above it";
  EXPECT_EQ(c->GetStoredRowIndex(), 0);
}

TEST_F(zmTLColumns, DeletingAColumnTakesItsStringsOutOfTheNodes) {
  Column("a");
  TzmTreeListColumn* b = Column("b");
  Column("c");
  TzmTreeListNode* n = Node("0");
  n->SetStrings(1, "1");
  n->SetStrings(2, "2");
  TzmTreeListNode* child = Node("c0", n);
  child->SetStrings(1, "c1");
  child->SetStrings(2, "c2");
  Free(b);
  EXPECT_EQ(Tree->ColumnCount(), 2);
  EXPECT_EQ(n->GetStrings(1), "2");
  EXPECT_EQ(child->GetStrings(1), "c2");
}

TEST_F(zmTLColumns, SortedColumnsJoinAndLeaveTheSortedList) {
  TzmTreeListColumn* a = Column("a");
  TzmTreeListColumn* b = Column("b");
  b->SetSorted(TzmTreeListColumnSort::csUp);
  a->SetSorted(TzmTreeListColumnSort::csDown);
  EXPECT_EQ(Tree->SortedColumnCount(), 2);
  EXPECT_EQ(b->SortedIndex(), 0);
  EXPECT_EQ(a->SortedIndex(), 1);
  b->SetSorted(TzmTreeListColumnSort::csNone);
  EXPECT_EQ(b->SortedIndex(), -1);
  a->RestoreDefaults();
  EXPECT_EQ(Tree->SortedColumnCount(), 0) << "a restored column is no longer sorted";
  a->SetSortedOrder(1);
  b->SetSortedOrder(0);
  a->SetSorted(TzmTreeListColumnSort::csUp);
  b->SetSorted(TzmTreeListColumnSort::csUp);
  Tree->RebuildSortedColumns();
  EXPECT_EQ(Tree->SortedColumnAt(0), b) << "ordered by SortedOrder";
}

// ------------------------------------------------------------------ assignment

struct TAssignCase {
  const char* Name;
  std::function<void(TzmTreeListColumn*)> Set;
  std::function<String(TzmTreeListColumn*)> Get;
};

void PrintTo(const TAssignCase& Case, std::ostream* Out) { *Out << Case.Name; }

class zmTLColumnAssign : public TzmTreeListTest, public testing::WithParamInterface<TAssignCase> {};

TEST_P(zmTLColumnAssign, EverySettingIsCopied) {
  auto* other = Add<TTestTreeList>(Form, "Other", Rect(0, 0, 100, 100));
  other->GetBands()->Add();
  other->SetHeaderPanelRowCount(2);
  TzmTreeListColumn* source = other->CreateColumn(&TzmTreeListColumn::StaticClass(), Form);
  other->CreateColumn(&TzmTreeListColumn::StaticClass(), Form);
  Tree->GetBands()->Add();
  Tree->SetHeaderPanelRowCount(2);
  TzmTreeListColumn* target = Column();
  Column();
  String before = GetParam().Get(target);
  GetParam().Set(source);
  String wanted = GetParam().Get(source);
  ASSERT_NE(before, wanted) << "the case must change the setting";
  target->Assign(source);
  EXPECT_EQ(GetParam().Get(target), wanted);
}

String Str(Integer Value) { return IntToStr(Value); }

const TAssignCase kAssignCases[] = {
    {"Alignment", [](TzmTreeListColumn* c) { c->SetAlignment(taCenter); },
     [](TzmTreeListColumn* c) { return Str(c->GetAlignment()); }},
    {"Caption", [](TzmTreeListColumn* c) { c->SetCaption("Name"); }, [](TzmTreeListColumn* c) { return c->GetCaption(); }},
    {"ReadOnly", [](TzmTreeListColumn* c) { c->SetReadOnly(true); },
     [](TzmTreeListColumn* c) { return Str(c->GetReadOnly()); }},
    {"Width", [](TzmTreeListColumn* c) { c->SetWidth(77); }, [](TzmTreeListColumn* c) { return Str(c->GetWidth()); }},
    {"NarrowWidth",
     [](TzmTreeListColumn* c) {
       c->SetMinWidth(5);
       c->SetWidth(10);
     },
     [](TzmTreeListColumn* c) { return Str(c->GetWidth()); }},
    {"Color", [](TzmTreeListColumn* c) { c->SetColor(clAqua); }, [](TzmTreeListColumn* c) { return Str(c->GetColor()); }},
    {"Font", [](TzmTreeListColumn* c) { c->GetFont()->SetSize(19); },
     [](TzmTreeListColumn* c) { return Str(c->GetFont()->GetSize()); }},
    {"MaxLength", [](TzmTreeListColumn* c) { c->SetMaxLength(12); },
     [](TzmTreeListColumn* c) { return Str(c->GetMaxLength()); }},
    {"CharCase", [](TzmTreeListColumn* c) { c->SetCharCase(ecUpperCase); },
     [](TzmTreeListColumn* c) { return Str(c->GetCharCase()); }},
    {"OEMConvert", [](TzmTreeListColumn* c) { c->SetOEMConvert(true); },
     [](TzmTreeListColumn* c) { return Str(c->GetOEMConvert()); }},
    {"PasswordChar", [](TzmTreeListColumn* c) { c->SetPasswordChar('*'); },
     [](TzmTreeListColumn* c) { return String(1, c->GetPasswordChar()); }},
    {"DisableDragging", [](TzmTreeListColumn* c) { c->SetDisableDragging(true); },
     [](TzmTreeListColumn* c) { return Str(c->GetDisableDragging()); }},
    {"DisableCaption", [](TzmTreeListColumn* c) { c->SetDisableCaption(true); },
     [](TzmTreeListColumn* c) { return Str(c->GetDisableCaption()); }},
    {"DisableCustomizing", [](TzmTreeListColumn* c) { c->SetDisableCustomizing(true); },
     [](TzmTreeListColumn* c) { return Str(c->GetDisableCustomizing()); }},
    {"DisableEditor", [](TzmTreeListColumn* c) { c->SetDisableEditor(true); },
     [](TzmTreeListColumn* c) { return Str(c->GetDisableEditor()); }},
    {"DisableHeaderButton", [](TzmTreeListColumn* c) { c->SetDisableHeaderButton(true); },
     [](TzmTreeListColumn* c) { return Str(c->GetDisableHeaderButton()); }},
    {"HeaderAlignment", [](TzmTreeListColumn* c) { c->SetHeaderAlignment(taRightJustify); },
     [](TzmTreeListColumn* c) { return Str(c->GetHeaderAlignment()); }},
    {"HeaderGlyph", [](TzmTreeListColumn* c) { c->GetHeaderGlyph()->SetSize(7, 5); },
     [](TzmTreeListColumn* c) { return c->HasHeaderGlyph() ? Str(c->GetHeaderGlyph()->GetWidth()) : String("none"); }},
    {"MinWidth", [](TzmTreeListColumn* c) { c->SetMinWidth(44); }, [](TzmTreeListColumn* c) { return Str(c->GetMinWidth()); }},
    {"Sizing", [](TzmTreeListColumn* c) { c->SetSizing(false); }, [](TzmTreeListColumn* c) { return Str(c->GetSizing()); }},
    {"Sorted", [](TzmTreeListColumn* c) { c->SetSorted(TzmTreeListColumnSort::csDown); },
     [](TzmTreeListColumn* c) { return Str(static_cast<Integer>(c->GetSorted())); }},
    {"VertAlignment", [](TzmTreeListColumn* c) { c->SetVertAlignment(tlBottom); },
     [](TzmTreeListColumn* c) { return Str(c->GetVertAlignment()); }},
    {"Visible", [](TzmTreeListColumn* c) { c->SetVisible(false); }, [](TzmTreeListColumn* c) { return Str(c->GetVisible()); }},
    {"TabStop", [](TzmTreeListColumn* c) { c->SetTabStop(false); }, [](TzmTreeListColumn* c) { return Str(c->GetTabStop()); }},
    {"BandIndex", [](TzmTreeListColumn* c) { c->SetBandIndex(1); }, [](TzmTreeListColumn* c) { return Str(c->GetBandIndex()); }},
    {"HeaderMaxLineCount", [](TzmTreeListColumn* c) { c->SetHeaderMaxLineCount(3); },
     [](TzmTreeListColumn* c) { return Str(c->GetHeaderMaxLineCount()); }},
};

INSTANTIATE_TEST_SUITE_P(Settings, zmTLColumnAssign, testing::ValuesIn(kAssignCases),
                         [](const testing::TestParamInfo<TAssignCase>& info) { return info.param.Name; });

TEST_F(zmTLColumns, AssigningWithoutAGlyphKeepsTheTargetsGlyph) {
  TzmTreeListColumn* source = Column();
  TzmTreeListColumn* target = Column();
  target->GetHeaderGlyph()->SetSize(9, 9);
  target->Assign(source);
  ASSERT_TRUE(target->HasHeaderGlyph());
  EXPECT_EQ(target->GetHeaderGlyph()->GetWidth(), 9);
}

TEST_F(zmTLColumns, AMaskColumnCopiesItsMask) {
  auto* source = As<TzmTreeListMaskColumn>(Tree->CreateColumn(&TzmTreeListMaskColumn::StaticClass(), Form));
  auto* target = As<TzmTreeListMaskColumn>(Tree->CreateColumn(&TzmTreeListMaskColumn::StaticClass(), Form));
  source->SetEditMask("00/00");
  source->SetIgnoreMaskBlank(true);
  source->SetPasswordChar('#');
  target->Assign(source);
  EXPECT_EQ(target->GetEditMask(), "00/00");
  EXPECT_TRUE(target->GetIgnoreMaskBlank());
  EXPECT_EQ(target->GetPasswordChar(), '#');
  target->RestoreDefaults();
  EXPECT_EQ(target->GetEditMask(), "");
}

// ------------------------------------------------------------------ view data and editors

TEST_F(zmTLColumns, ViewDataOfACellWithoutEditor) {
  TzmTreeListColumn* c = Column();
  c->SetVertAlignment(tlCenter);
  c->SetPasswordChar('*');
  c->SetCharCase(ecLowerCase);
  TzmTreeListCellViewData* cell = Tree->GetCellViewData();
  cell->Text = "Secret";
  cell->BackColor = clWindow;
  cell->ForeColor = clWindowText;
  cell->TextAlignment = taRightJustify;
  cell->EditorBounds = Rect(1, 2, 30, 40);
  cell->MarkedLength = 3;
  cell->UsesEndEllipsis = true;
  auto* view = As<TzmTextEditViewData>(c->GetViewData());
  ASSERT_NE(view, nullptr) << "the text editor class's view data";
  c->PrepareViewData(view, cell);
  EXPECT_EQ(view->TextLayout, 1);
  EXPECT_EQ(view->HorzAlignment, taRightJustify);
  EXPECT_EQ(view->ViewRect, Rect(1, 2, 30, 40));
  EXPECT_EQ(view->ContentMargins, Rect(1, 0, 0, 0));
  EXPECT_EQ(view->BackColor, ColorToRGB(clWindow));
  EXPECT_EQ(VarToStr(view->DrawValue), "Secret");
  EXPECT_EQ(view->TextLength, 3);
  EXPECT_EQ(view->PasswordChar, '*');
  EXPECT_EQ(view->CharCase, ecLowerCase);
  EXPECT_TRUE(view->UsesEndEllipsis);
  EXPECT_EQ(view->BorderStyle, xbsNone);
  EXPECT_FALSE(view->IsTransparent);
  cell->IsMultiLine = true;
  cell->DrawsMarkedPart = true;
  c->PrepareViewData(view, cell);
  EXPECT_EQ(view->TextLayout, 3) << "multi-line whatever the vertical alignment";
  EXPECT_TRUE(view->IsTransparent);
  EXPECT_TRUE(view->TransparentText);
  cell->DrawsMarkedPart = false;
  c->PrepareViewData(view, cell);
  EXPECT_FALSE(view->TransparentText) << "a reused view data object forgets the marked part";
}

TEST_F(zmTLColumns, TheColumnConfiguresItsEditor) {
  TzmTreeListColumn* c = Column();
  c->SetCharCase(ecUpperCase);
  c->SetMaxLength(4);
  c->SetPasswordChar('*');
  c->SetReadOnly(true);
  auto* edit = New<TzmInplaceTreeListTextEdit>(Tree);
  edit->SetParent(Tree);
  c->InitEditor(edit);
  EXPECT_EQ(edit->GetCharCase(), ecUpperCase);
  EXPECT_EQ(edit->GetMaxLength(), 4);
  EXPECT_EQ(edit->GetPasswordChar(), '*');
  EXPECT_TRUE(edit->GetReadOnly());
  TzmTreeListNode* n = Node("abcdefg");
  Variant value;
  c->InitEditValue(n, edit, value);
  EXPECT_EQ(VarToStr(value), "ABCDEFG") << "the value is read back in the editor's case";
}

TEST_F(zmTLColumns, AMaskColumnUsesTheMaskEditor) {
  auto* c = As<TzmTreeListMaskColumn>(Tree->CreateColumn(&TzmTreeListMaskColumn::StaticClass(), Form));
  c->SetEditMask("00:00");
  EXPECT_EQ(c->GetEditorClass(), &TzmInplaceTreeListMaskEdit::StaticClass());
  auto* edit = As<TzmInplaceMaskEdit>(c->GetEditorClass()->CreateEdit(Tree));
  ASSERT_NE(edit, nullptr);
  c->InitEditor(edit);
  EXPECT_EQ(edit->GetEditMask(), "00:00");
  EXPECT_TRUE(edit->GetStoredValues() & zmsvEditMask) << "set explicitly: the editor's defaults leave it alone";
}

TEST_F(zmTLColumns, HooksAnswerFromTheColumns) {
  TzmTreeListColumn* a = Column("Alpha");
  a->SetDisableCaption(true);
  a->SetSizing(false);
  a->SetWidth(66);
  EXPECT_EQ(Tree->GetColumnMinWidth(0), 66) << "a column that cannot be sized keeps its width";
  EXPECT_TRUE(Tree->IsColumnShown(0));
  a->SetVisible(false);
  EXPECT_FALSE(Tree->IsColumnShown(0));
  EXPECT_EQ(Tree->GetColumnColor(5), Tree->GetColor()) << "out of range";
}

}  // namespace
