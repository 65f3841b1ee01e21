// Controls over windows of another class: mouse input reaching the class first, notifications
// reflected to the child (owner drawing, colours), focus changes told to every control, the
// font handed to the window, and the class painting a window nothing of ours paints.
#include "ControlsTestSupport.h"

#include <algorithm>
#include <set>
#include <string>

#include "platform/forms/StdCtrls.h"
#include "platform/os/Theme.h"

namespace {

// A window class of its own that records what reaches its procedure and paints itself green.
constexpr const char* kNativeClass = "QJTestNative";
constexpr uint32_t kNativePaint = 0x00FF00;
std::vector<std::string>* NativeLog = nullptr;

LRESULT NativeProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_LBUTTONDOWN:
      if (NativeLog) NativeLog->push_back("class:down");
      return 0;
    case WM_LBUTTONUP:
      if (NativeLog) NativeLog->push_back("class:up");
      return 0;
    case WM_MOUSEMOVE:
      if (NativeLog) NativeLog->push_back("class:move");
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Wnd, &ps);
      if (dc) {
        RECT r;
        GetClientRect(Wnd, &r);
        HBRUSH green = CreateSolidBrush(RGB(0, 0xFF, 0));
        FillRect(dc, &r, green);
        DeleteObject(green);
        EndPaint(Wnd, &ps);
      }
      return 0;
    }
    default: return DefWindowProc(Wnd, Msg, WParam, LParam);
  }
}

void RegisterNativeClass() {
  WNDCLASSEX existing;
  if (GetClassInfoEx(nullptr, kNativeClass, &existing)) return;
  WNDCLASSEX wc;
  wc.lpfnWndProc = NativeProc;
  wc.lpszClassName = kNativeClass;
  ASSERT_TRUE(RegisterClassEx(&wc));
}

// A control over the class above with no message code of its own.
class TNativeControl : public TWinControl {
  QJ_INLINE_CLASS(TNativeControl, TWinControl)
 public:
  explicit TNativeControl(TComponent* AOwner) : TWinControl(AOwner) {}
  std::vector<UINT> Messages;
  void WndProc(TMessage& M) override {
    Messages.push_back(M.Msg);
    TWinControl::WndProc(M);
  }
  int Count(UINT Msg) const { return static_cast<int>(std::count(Messages.begin(), Messages.end(), Msg)); }

 protected:
  void CreateParams(TCreateParams& Params) override {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, kNativeClass);
  }
};

// A plain control over the system's "EDIT" class: no wrapper code at all.
class TBareEdit : public TWinControl {
  QJ_INLINE_CLASS(TBareEdit, TWinControl)
 public:
  explicit TBareEdit(TComponent* AOwner) : TWinControl(AOwner) {}

 protected:
  void CreateParams(TCreateParams& Params) override {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "EDIT");
  }
};

class ControlsNativeTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    RegisterNativeClass();
    NativeLog = &Log;
    form = NewForm(300, 200, 0, 0);
  }
  void TearDown() override {
    NativeLog = nullptr;
    TFormsTest::TearDown();
  }
  void ShowForm() {
    form->Show();
    Pump();
  }
  void ClickAt(TControl* c, TPoint client) {
    TPoint p = c->ClientToScreen(client);
    Headless::Click(p.X, p.Y);
    Pump();
  }
  // The colour (0x00RRGGBB) of a control's client point on the form's surface.
  uint32_t PixelOf(TControl* c, TPoint client) {
    return ClientPixel(form, form->ScreenToClient(c->ClientToScreen(client))) & 0xFFFFFFu;
  }

  TForm* form = nullptr;
  std::vector<std::string> Log;
};

// ---------------------------------------------------------------------------------------------
// Mouse input

TEST_F(ControlsNativeTest, TheWindowClassSeesEachMouseMessageBeforeTheEvents) {
  auto* c = Add<TNativeControl>(form, "native", Rect(10, 10, 110, 60));
  c->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, Integer, Integer) { Log.push_back("event:down"); };
  c->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, Integer, Integer) { Log.push_back("event:up"); };
  c->OnClick = [this](TObject*) { Log.push_back("event:click"); };
  ShowForm();
  TPoint p = c->ClientToScreen({20, 20});
  Headless::MoveMouse(p.X, p.Y);
  Pump();
  c->OnMouseMove = [this](TObject*, TShiftState, Integer, Integer) { Log.push_back("event:move"); };
  Log.clear();
  Headless::MoveMouse(p.X + 3, p.Y);
  Pump();
  EXPECT_EQ(Log, (std::vector<std::string>{"class:move", "event:move"}));
  Log.clear();
  Headless::Click(p.X + 3, p.Y);
  Pump();
  EXPECT_EQ(Log, (std::vector<std::string>{"class:down", "event:down", "class:up", "event:click", "event:up"}));
}

TEST_F(ControlsNativeTest, AControlFreedByItsClickHandlerStopsTheMessageSafely) {
  auto* c = Add<TNativeControl>(form, "native", Rect(10, 10, 110, 60));
  bool upAfterFree = false;
  c->OnClick = [c](TObject*) { Free(c); };
  c->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { upAfterFree = true; };
  ShowForm();
  ClickAt(c, {20, 20});
  EXPECT_EQ(form->FindComponent("native"), nullptr);
  EXPECT_FALSE(upAfterFree);
}

TEST_F(ControlsNativeTest, ASubclassedEditPlacesItsCaretAtAClickWithoutWrapperCode) {
  auto* e = Add<TBareEdit>(form, "bare", Rect(10, 10, 200, 31));
  ShowForm();
  e->SetText("MMMMMMMM");
  LRESULT fourth = SendMessage(e->GetHandle(), EM_POSFROMCHAR, 4, 0);
  int downs = 0;
  e->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { ++downs; };
  ClickAt(e, {GET_X_LPARAM(fourth) + 1, GET_Y_LPARAM(fourth) + 3});
  DWORD from = 0, to = 0;
  SendMessage(e->GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 4u);
  EXPECT_EQ(to, 4u);
  EXPECT_EQ(downs, 1);
  EXPECT_TRUE(e->Focused());
}

// ---------------------------------------------------------------------------------------------
// Owner drawing: the child is found through the struct, not through the message's id

TEST_F(ControlsNativeTest, EveryChildWindowGetsAControlIdOfItsOwn) {
  std::set<int> ids;
  for (int i = 0; i < 5; ++i) {
    auto* c = Add<TProbeControl>(form, ("c" + std::to_string(i)).c_str(), Rect(0, i * 10, 50, i * 10 + 10));
    int id = GetDlgCtrlID(c->GetHandle());
    EXPECT_NE(id, 0);
    EXPECT_EQ(GetDlgItem(form->GetHandle(), id), c->GetHandle());
    ids.insert(id);
  }
  EXPECT_EQ(ids.size(), 5u);
}

TEST_F(ControlsNativeTest, OwnerDrawMessagesReachTheChildTheyNameAsCNMessages) {
  auto* a = Add<TProbeControl>(form, "a", Rect(0, 0, 50, 50));
  auto* b = Add<TProbeControl>(form, "b", Rect(60, 0, 110, 50));
  HWND bw = b->GetHandle();
  auto aId = static_cast<UINT>(GetDlgCtrlID(a->GetHandle()));
  auto bId = static_cast<UINT>(GetDlgCtrlID(bw));
  DRAWITEMSTRUCT draw;
  draw.CtlType = ODT_LISTBOX;
  draw.CtlID = bId;
  draw.hwndItem = bw;
  DELETEITEMSTRUCT del;
  del.CtlType = ODT_LISTBOX;
  del.CtlID = bId;
  del.hwndItem = bw;
  COMPAREITEMSTRUCT cmp;
  cmp.CtlType = ODT_LISTBOX;
  cmp.CtlID = bId;
  cmp.hwndItem = bw;
  MEASUREITEMSTRUCT measure;
  measure.CtlType = ODT_LISTBOX;
  measure.CtlID = bId;
  struct Case {
    UINT Msg, Reflected;
    void* Struct;
  };
  for (const Case& k : {Case{WM_DRAWITEM, CN_DRAWITEM, &draw}, Case{WM_DELETEITEM, CN_DELETEITEM, &del},
                        Case{WM_COMPAREITEM, CN_COMPAREITEM, &cmp}, Case{WM_MEASUREITEM, CN_MEASUREITEM, &measure}}) {
    SCOPED_TRACE(k.Msg);
    a->Messages.clear();
    b->Messages.clear();
    // The message's own id names the other child: the struct decides.
    SendMessage(form->GetHandle(), k.Msg, aId, reinterpret_cast<LPARAM>(k.Struct));
    EXPECT_EQ(b->Count(k.Reflected), 1);
    EXPECT_EQ(a->Count(k.Reflected), 0);
  }
}

TEST_F(ControlsNativeTest, MenuItemsAndUnknownIdsAreNotReflected) {
  auto* a = Add<TProbeControl>(form, "a", Rect(0, 0, 50, 50));
  DRAWITEMSTRUCT menuDraw;
  menuDraw.CtlType = ODT_MENU;
  menuDraw.hwndItem = a->GetHandle();
  MEASUREITEMSTRUCT menuMeasure;
  menuMeasure.CtlType = ODT_MENU;
  MEASUREITEMSTRUCT unknown;
  unknown.CtlType = ODT_LISTBOX;
  unknown.CtlID = 0x7FFFFFF0;
  SendMessage(form->GetHandle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menuDraw));
  SendMessage(form->GetHandle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&menuMeasure));
  SendMessage(form->GetHandle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&unknown));
  SendMessage(form->GetHandle(), WM_DRAWITEM, 0, 0);
  EXPECT_EQ(a->Count(CN_DRAWITEM), 0);
  EXPECT_EQ(a->Count(CN_MEASUREITEM), 0);
}

TEST_F(ControlsNativeTest, AnOwnerDrawnListBoxAmongOtherChildrenDrawsItsOwnItems) {
  Add<TProbeControl>(form, "first", Rect(0, 0, 20, 20));
  auto* list = Add<TListBox>(form, "list", Rect(30, 10, 200, 150));
  Add<TProbeControl>(form, "last", Rect(210, 0, 230, 20));
  list->SetStyle(lbOwnerDrawVariable);
  std::vector<Integer> measured, drawn;
  list->OnMeasureItem = [&](TWinControl*, Integer index, Integer& height) {
    measured.push_back(index);
    height = 20;
  };
  list->OnDrawItem = [&](TWinControl*, Integer index, TRect, TOwnerDrawState) { drawn.push_back(index); };
  list->GetItems()->Add("one");
  list->GetItems()->Add("two");
  ShowForm();
  EXPECT_EQ(measured, (std::vector<Integer>{0, 1}));
  EXPECT_EQ(list->ItemRect(1).Top, 20);
  EXPECT_FALSE(drawn.empty());
}

// ---------------------------------------------------------------------------------------------
// Focus changes, fonts, painting

TEST_F(ControlsNativeTest, FocusChangesAreToldToNestedAndGraphicChildren) {
  auto* outer = Add<TProbeControl>(form, "outer", Rect(0, 0, 150, 150));
  auto* inner = Add<TProbeControl>(outer, "inner", Rect(10, 10, 60, 60));
  auto* graphic = Add<TProbeGraphic>(outer, "graphic", Rect(70, 10, 90, 30));
  auto* target = Add<TProbeControl>(form, "target", Rect(160, 0, 200, 40));
  ShowForm();
  inner->Messages.clear();
  graphic->Messages.clear();
  target->Messages.clear();
  target->SetFocus();
  Pump();
  EXPECT_EQ(inner->Count(CM_FOCUSCHANGED), 1);
  EXPECT_EQ(graphic->Count(CM_FOCUSCHANGED), 1);
  EXPECT_EQ(target->Count(CM_FOCUSCHANGED), 1);
}

// The classic look: a frame in the window-frame colour around the active button.
TEST_F(ControlsNativeTest, TheDefaultButtonLosesItsFrameWhileAnotherButtonHasTheFocus) {
  ThemeEngine::SetEnabled(false);
  auto* ok = Add<TButton>(form, "ok", Rect(10, 10, 85, 35));
  auto* other = Add<TButton>(form, "other", Rect(100, 10, 175, 35));
  auto* edit = Add<TEdit>(form, "edit", Rect(10, 50, 150, 71));
  ok->SetDefault(true);
  ShowForm();
  edit->SetFocus();
  Pump();
  uint32_t frame = ColorToRGB(clWindowFrame);
  auto framed = [&] {
    uint32_t p = PixelOf(ok, {0, 12});
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) == frame;
  };
  EXPECT_TRUE(framed()) << "the default button is active while an edit has the focus";
  other->SetFocus();
  Pump();
  EXPECT_FALSE(framed()) << "another button took the Enter key";
  edit->SetFocus();
  Pump();
  EXPECT_TRUE(framed());
  ThemeEngine::SetEnabled(true);
}

TEST_F(ControlsNativeTest, TheWindowGetsTheControlsFontWhenMadeAndWhenTheFontChanges) {
  auto* c = Add<TNativeControl>(form, "native", Rect(0, 0, 50, 50));
  auto* e = Add<TEdit>(form, "edit", Rect(0, 60, 150, 81));
  auto* inherits = Add<TNativeControl>(form, "inherits", Rect(160, 0, 200, 50));
  ShowForm();
  EXPECT_EQ(c->Count(WM_SETFONT), 1);
  EXPECT_EQ(SendMessage(e->GetHandle(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(e->GetFont()->GetHandle()));
  e->GetFont()->SetSize(20);
  c->GetFont()->SetStyle(fsBold);
  EXPECT_EQ(c->Count(WM_SETFONT), 2);
  EXPECT_EQ(SendMessage(e->GetHandle(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(e->GetFont()->GetHandle()));
  EXPECT_EQ(inherits->Count(WM_SETFONT), 1);
  form->GetFont()->SetSize(14);  // reaches the children that take their parent's font
  EXPECT_EQ(inherits->Count(WM_SETFONT), 2);
  EXPECT_EQ(c->Count(WM_SETFONT), 2);
}

TEST_F(ControlsNativeTest, TheClassPaintsAWindowUnlessGraphicChildrenShareIt) {
  auto* c = Add<TNativeControl>(form, "native", Rect(10, 10, 110, 60));
  ShowForm();
  EXPECT_EQ(PixelOf(c, {50, 25}), kNativePaint);
  auto* g = Add<TProbeGraphic>(c, "graphic", Rect(0, 0, 20, 20));
  c->Invalidate();
  Pump();
  EXPECT_EQ(PixelOf(c, {5, 5}), kRedPixel) << "the graphic child is painted by the control";
  EXPECT_GT(g->Paints, 0);
}

TEST_F(ControlsNativeTest, AFormWithoutChildrenStillRunsOnPaint) {
  int paints = 0;
  form->OnPaint = [&](TObject*) { ++paints; };
  ShowForm();
  EXPECT_GT(paints, 0);
}

// ---------------------------------------------------------------------------------------------
// Colours of the native controls, seen in pixels

struct ColourCase {
  const char* Name;
  TWinControl* (*Make)(TForm* Form);
};

TWinControl* MakeEdit(TForm* f) {
  auto* e = New<TEdit>(f);
  e->SetText("WWWW");
  return e;
}

TWinControl* MakeMemo(TForm* f) {
  auto* m = New<TMemo>(f);
  m->SetText("WWWW");
  return m;
}

TWinControl* MakeListBox(TForm* f) {
  auto* l = New<TListBox>(f);
  l->GetItems()->Add("WWWW");
  return l;
}

class ControlsNativeColourTest : public ControlsNativeTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(ControlsNativeColourTest, ColorAndFontColorShowInThePixels) {
  Add<TProbeControl>(form, "focus", Rect(250, 10, 270, 30));  // keeps the focus (and selection) away
  TWinControl* c = GetParam().Make(form);
  c->SetBoundsRect(Rect(10, 10, 210, 70));
  c->SetParent(form);
  c->SetColor(clYellow);
  c->GetFont()->SetColor(clBlue);
  c->GetFont()->SetSize(20);
  c->GetFont()->SetStyle(fsBold);
  ShowForm();
  TRect client = c->GetClientRect();
  EXPECT_EQ(PixelOf(c, {client.Right - 3, client.Bottom - 3}), 0xFFFF00u) << "the background";
  int blue = 0;
  for (Integer y = 0; y < client.Bottom; ++y)
    for (Integer x = 0; x < client.Right; ++x) blue += PixelOf(c, {x, y}) == 0x0000FFu;
  EXPECT_GT(blue, 0) << "the text";
  c->SetColor(clAqua);
  Pump();
  EXPECT_EQ(PixelOf(c, {client.Right - 3, client.Bottom - 3}), 0x00FFFFu) << "a new colour repaints";
}

INSTANTIATE_TEST_SUITE_P(Controls, ControlsNativeColourTest,
                         ::testing::Values(ColourCase{"Edit", MakeEdit}, ColourCase{"Memo", MakeMemo},
                                           ColourCase{"ListBox", MakeListBox}),
                         [](const ::testing::TestParamInfo<ColourCase>& i) { return std::string(i.param.Name); });

}  // namespace
