// Menus: the item model, pop-up menus driven by injected keys and mouse, sub-menus, the menu bar
// entered with Alt, F10, mnemonics and clicks, owner-drawn items and accelerator tables.

#include "platform/os/Gdi.h"
#include "platform/os/WinMenus.h"
#include "tests/platform/os/WinTestSupport.h"

namespace {

enum : UINT { idNew = 101, idOpen = 102, idSave = 103, idExit = 104, idOne = 201, idTwo = 202, idClose = 203 };

class WinMenuTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    Owner = Top(100, 100, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetActiveWindow(Owner);
    SetFocus(Owner);
    MsgLog().clear();
  }
  void TearDown() override {
    TWinTest::TearDown();
  }

  // File-like pop-up: New, Open, separator, Save (disabled), Exit.
  static HMENU FilePopup() {
    HMENU m = CreatePopupMenu();
    AppendMenu(m, MF_STRING, idNew, "&New");
    AppendMenu(m, MF_STRING, idOpen, "&Open...");
    AppendMenu(m, MF_SEPARATOR, 0, nullptr);
    AppendMenu(m, MF_STRING | MF_GRAYED, idSave, "&Save\tCtrl+S");
    AppendMenu(m, MF_STRING, idExit, "E&xit");
    return m;
  }

  // A pop-up with a sub-menu: Recent > (One, Two), Close.
  static HMENU NestedPopup(HMENU& recent) {
    recent = CreatePopupMenu();
    AppendMenu(recent, MF_STRING, idOne, "&One");
    AppendMenu(recent, MF_STRING, idTwo, "&Two");
    HMENU m = CreatePopupMenu();
    AppendMenu(m, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
    AppendMenu(m, MF_STRING, idClose, "&Close");
    return m;
  }

  static TPoint Centre(const RECT& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

  static TPoint ItemCentre(HMENU menu, UINT pos, HWND bar = nullptr) {
    RECT r;
    EXPECT_TRUE(GetMenuItemRect(bar, menu, pos, &r)) << "item " << pos << " is not on screen";
    return Centre(r);
  }

  static void ClickAt(TPoint p, int button = 0) { Headless::Click(p.X, p.Y, button); }

  UINT Track(HMENU menu, UINT flags = TPM_RETURNCMD) { return static_cast<UINT>(TrackPopupMenuEx(menu, flags, 150, 150, Owner, nullptr)); }

  const TLoggedMsg* Command() { return Last(WM_COMMAND, Owner); }

  HWND Owner = nullptr;
};

// ------------------------------------------------------------------ the item model

TEST_F(WinMenuTest, ItemsAreAddedChangedAndFoundByCommandOrPosition) {
  HMENU recent = nullptr;
  HMENU m = NestedPopup(recent);
  EXPECT_TRUE(InsertMenu(m, idClose, MF_BYCOMMAND | MF_STRING, idSave, "&Save"));
  EXPECT_TRUE(InsertMenu(m, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr));
  ASSERT_EQ(GetMenuItemCount(m), 4);
  EXPECT_EQ(GetMenuItemID(m, 2), static_cast<UINT>(idSave));
  EXPECT_EQ(GetMenuItemID(m, 1), static_cast<UINT>(-1)) << "a sub-menu item has no command id";
  EXPECT_EQ(GetSubMenu(m, 1), recent);
  EXPECT_EQ(GetMenuState(m, 1, MF_BYPOSITION), MF_POPUP | (2u << 8));
  EXPECT_EQ(GetMenuState(m, 0, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);

  // Commands are found inside sub-menus too.
  EXPECT_EQ(CheckMenuItem(m, idTwo, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(m, idTwo, MF_BYCOMMAND | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
  EXPECT_EQ(EnableMenuItem(m, idOne, MF_GRAYED), static_cast<BOOL>(MF_ENABLED));
  EXPECT_EQ(GetMenuState(recent, 0, MF_BYPOSITION) & MF_GRAYED, MF_GRAYED);
  EXPECT_EQ(EnableMenuItem(m, idOne, MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
  EXPECT_TRUE(CheckMenuRadioItem(recent, 0, 1, 1, MF_BYPOSITION));
  EXPECT_EQ(GetMenuState(recent, 1, MF_BYPOSITION) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(GetMenuState(recent, 0, MF_BYPOSITION) & MF_CHECKED, 0u);

  char text[32];
  EXPECT_EQ(GetMenuString(m, idSave, text, sizeof text, MF_BYCOMMAND), 5);
  EXPECT_STREQ(text, "&Save");
  EXPECT_TRUE(ModifyMenu(m, idSave, MF_BYCOMMAND | MF_STRING | MF_CHECKED, idSave, "Save &As"));
  EXPECT_EQ(GetMenuString(m, idSave, text, 4, MF_BYCOMMAND), 3) << "cut to the buffer";
  EXPECT_STREQ(text, "Sav");

  EXPECT_TRUE(SetMenuDefaultItem(m, idClose, FALSE));
  EXPECT_EQ(GetMenuDefaultItem(m, FALSE, 0), static_cast<UINT>(idClose));
  EXPECT_EQ(GetMenuDefaultItem(m, TRUE, 0), 3u);

  EXPECT_TRUE(RemoveMenu(m, 1, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(recent)) << "removing keeps the sub-menu";
  EXPECT_TRUE(AppendMenu(m, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "Again"));
  EXPECT_TRUE(DeleteMenu(m, 3, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(recent)) << "deleting destroys the sub-menu";
  EXPECT_TRUE(DestroyMenu(m));
  EXPECT_FALSE(DestroyMenu(m));
}

TEST_F(WinMenuTest, ItemInfoRoundTripsAndBadInputFails) {
  HMENU m = CreatePopupMenu();
  MENUITEMINFO in;
  in.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_DATA;
  in.fType = MFT_RADIOCHECK;
  in.fState = MFS_CHECKED | MFS_DEFAULT;
  in.wID = 7;
  in.dwItemData = 0xABC;
  in.dwTypeData = const_cast<char*>("&Radio");
  ASSERT_TRUE(InsertMenuItem(m, 0, TRUE, &in));
  char buf[16];
  MENUITEMINFO out;
  out.fMask = in.fMask;
  out.dwTypeData = buf;
  out.cch = sizeof buf;
  ASSERT_TRUE(GetMenuItemInfo(m, 7, FALSE, &out));
  EXPECT_STREQ(buf, "&Radio");
  EXPECT_EQ(out.cch, 6u);
  EXPECT_EQ(out.fType, MFT_RADIOCHECK);
  EXPECT_EQ(out.fState, MFS_CHECKED | MFS_DEFAULT);
  EXPECT_EQ(out.dwItemData, 0xABCu);
  MENUITEMINFO change;
  change.fMask = MIIM_STATE;
  change.fState = MFS_GRAYED;
  ASSERT_TRUE(SetMenuItemInfo(m, 0, TRUE, &change));
  EXPECT_EQ(GetMenuState(m, 0, MF_BYPOSITION) & MF_GRAYED, MF_GRAYED);

  HMENU dead = CreatePopupMenu();
  DestroyMenu(dead);
  MENUITEMINFO small;
  small.cbSize = 4;
  EXPECT_FALSE(InsertMenuItem(m, 0, TRUE, &small));
  EXPECT_FALSE(InsertMenuItem(m, 0, TRUE, nullptr));
  EXPECT_FALSE(AppendMenu(dead, MF_STRING, 1, "x"));
  EXPECT_FALSE(AppendMenu(m, MF_POPUP, reinterpret_cast<UINT_PTR>(dead), "x")) << "a dead sub-menu";
  EXPECT_EQ(GetMenuItemCount(dead), -1);
  EXPECT_EQ(GetMenuState(m, 99, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_EQ(CheckMenuItem(m, 5, MF_BYPOSITION), static_cast<DWORD>(-1));
  EXPECT_FALSE(GetMenuItemInfo(m, 5, TRUE, &out));
  EXPECT_FALSE(TrackPopupMenu(dead, TPM_RETURNCMD, 0, 0, 0, Owner, nullptr));
  EXPECT_FALSE(TrackPopupMenu(m, TPM_RETURNCMD, 0, 0, 0, reinterpret_cast<HWND>(0x77), nullptr));
  EXPECT_FALSE(SetMenu(Owner, dead));
  DestroyMenu(m);
}

// ------------------------------------------------------------------ pop-up menus by keys

TEST_F(WinMenuTest, PopupKeysMoveChooseAndCancel) {
  struct TCase {
    std::vector<BYTE> Keys;
    UINT Result;
  };
  const TCase cases[] = {
      {{VK_DOWN, VK_RETURN}, idNew},
      {{VK_DOWN, VK_DOWN, VK_RETURN}, idOpen},
      {{VK_UP, VK_RETURN}, idExit},
      {{VK_END, VK_UP, VK_UP, VK_RETURN}, idOpen},  // up from Exit lands on disabled Save, then skips the separator
      {{VK_HOME, VK_UP, VK_RETURN}, idExit},        // wraps
      {{VK_END, VK_UP, VK_RETURN, VK_ESCAPE}, 0},   // Enter on a disabled item does nothing
      {{'X'}, idExit},                              // the item's letter
      {{'S', VK_ESCAPE}, 0},                        // a disabled item's letter only selects it
      {{VK_ESCAPE}, 0},
      {{VK_DOWN, VK_MENU}, 0},  // Alt leaves
  };
  HMENU m = FilePopup();
  for (const TCase& c : cases) {
    for (BYTE k : c.Keys) Headless::PressKey(k);
    EXPECT_EQ(Track(m), c.Result) << "case ending in key " << int(c.Keys.back());
    EXPECT_EQ(GetMenuOwner(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
  }
  Pump();
  EXPECT_EQ(Command(), nullptr) << "TPM_RETURNCMD posts no WM_COMMAND";
  DestroyMenu(m);
}

TEST_F(WinMenuTest, ChosenItemPostsCommandAfterTheNotifications) {
  HMENU m = FilePopup();
  Headless::PressKey(VK_DOWN);
  Headless::PressKey(VK_RETURN);
  EXPECT_TRUE(TrackPopupMenu(m, TPM_LEFTALIGN, 150, 150, 0, Owner, nullptr));
  EXPECT_EQ(Command(), nullptr) << "posted, not sent";
  Pump();
  ASSERT_NE(Command(), nullptr);
  EXPECT_EQ(Command()->W, MAKEWPARAM(idNew, 0));
  EXPECT_EQ(Command()->L, 0);
  std::vector<std::string> expected = {"ENTERMENULOOP", "INITMENU", "INITMENUPOPUP", "MENUSELECT", "UNINITMENUPOPUP",
                                       "MENUSELECT",    "EXITMENULOOP", "COMMAND"};
  std::vector<std::string> got;
  for (const TLoggedMsg& msg : MsgLog()) {
    if (msg.Wnd != Owner) continue;
    switch (msg.Msg) {
      case WM_ENTERMENULOOP: got.push_back("ENTERMENULOOP"); break;
      case WM_INITMENU: got.push_back("INITMENU"); break;
      case WM_INITMENUPOPUP: got.push_back("INITMENUPOPUP"); break;
      case WM_MENUSELECT: got.push_back("MENUSELECT"); break;
      case WM_UNINITMENUPOPUP: got.push_back("UNINITMENUPOPUP"); break;
      case WM_EXITMENULOOP: got.push_back("EXITMENULOOP"); break;
      case WM_COMMAND: got.push_back("COMMAND"); break;
      default: break;
    }
  }
  EXPECT_EQ(got, expected);
  const TLoggedMsg* init = nullptr;
  for (const TLoggedMsg& msg : MsgLog())
    if (msg.Msg == WM_INITMENUPOPUP && !init) init = &msg;
  EXPECT_EQ(init->W, reinterpret_cast<WPARAM>(m));
  const TLoggedMsg* close = Last(WM_MENUSELECT, Owner);
  EXPECT_EQ(HIWORD(close->W), 0xFFFF);
  EXPECT_EQ(close->L, 0);

  MsgLog().clear();
  Headless::PressKey(VK_ESCAPE);
  EXPECT_TRUE(TrackPopupMenu(m, TPM_NONOTIFY, 150, 150, 0, Owner, nullptr)) << "cancelling is no failure";
  Pump();
  EXPECT_EQ(Count(WM_COMMAND), 0);
  EXPECT_EQ(Count(WM_INITMENUPOPUP), 0);
  EXPECT_EQ(Count(WM_MENUSELECT), 0);
  DestroyMenu(m);
}

TEST_F(WinMenuTest, SubMenusOpenWithRightOrLetterAndCloseWithLeftOrEscape) {
  struct TCase {
    std::vector<BYTE> Keys;
    UINT Result;
  };
  const TCase cases[] = {
      {{VK_DOWN, VK_RIGHT, VK_RETURN}, idOne},
      {{VK_DOWN, VK_RETURN, VK_DOWN, VK_RETURN}, idTwo},  // Enter opens it too, first item selected
      {{'R', 'T'}, idTwo},
      {{VK_DOWN, VK_RIGHT, VK_LEFT, VK_DOWN, VK_RETURN}, idClose},
      {{'R', VK_ESCAPE, 'C'}, idClose},  // Esc closes only the sub-menu
      {{'R', VK_ESCAPE, VK_ESCAPE}, 0},
  };
  HMENU recent = nullptr;
  HMENU m = NestedPopup(recent);
  for (const TCase& c : cases) {
    MsgLog().clear();
    for (BYTE k : c.Keys) Headless::PressKey(k);
    EXPECT_EQ(Track(m), c.Result) << "case ending in key " << int(c.Keys.back());
  }
  // The sub-menu's WM_INITMENUPOPUP names it and the item it hangs from.
  const TLoggedMsg* init = Last(WM_INITMENUPOPUP, Owner);
  ASSERT_NE(init, nullptr);
  EXPECT_EQ(init->W, reinterpret_cast<WPARAM>(recent));
  EXPECT_EQ(LOWORD(static_cast<uintptr_t>(init->L)), 0);
  DestroyMenu(m);
}

TEST_F(WinMenuTest, UnknownLetterAsksTheOwnerThroughMenuChar) {
  HMENU m = FilePopup();
  MsgHandler() = [](HWND, UINT msg, WPARAM w, LPARAM, LRESULT& r) {
    if (msg != WM_MENUCHAR) return false;
    r = LOWORD(w) == 'q' ? MAKELONG(1, MNC_EXECUTE) : MAKELONG(0, MNC_IGNORE);
    return true;
  };
  Headless::PressKey('Q');
  EXPECT_EQ(Track(m), static_cast<UINT>(idOpen));
  Headless::PressKey('Z');
  Headless::PressKey(VK_ESCAPE);
  EXPECT_EQ(Track(m), 0u);
  EXPECT_EQ(Count(WM_MENUCHAR), 2);
  DestroyMenu(m);
}

TEST_F(WinMenuTest, OnlyOneMenuRunsUnlessRecursionIsAsked) {
  HMENU outer = FilePopup(), inner = FilePopup();
  BOOL nested = TRUE, recursed = FALSE;
  HWND ownerDuring = nullptr;
  RunWhenIdle({[&] {
                 ownerDuring = GetMenuOwner();
                 nested = TrackPopupMenu(inner, TPM_RETURNCMD, 10, 10, 0, Owner, nullptr);
                 Headless::PressKey(VK_DOWN);
                 Headless::PressKey(VK_RETURN);
                 recursed = TrackPopupMenu(inner, TPM_RETURNCMD | TPM_RECURSE, 10, 10, 0, Owner, nullptr);
               },
               [&] { EXPECT_TRUE(EndMenu()); }});
  EXPECT_EQ(Track(outer), 0u);
  EXPECT_EQ(ownerDuring, Owner);
  EXPECT_FALSE(nested);
  EXPECT_EQ(static_cast<UINT>(recursed), static_cast<UINT>(idNew));
  EXPECT_FALSE(EndMenu()) << "no menu is open";
  DestroyMenu(outer);
  DestroyMenu(inner);
}

// ------------------------------------------------------------------ pop-up menus by mouse

TEST_F(WinMenuTest, MouseChoosesHoverOpensSubMenusAndOutsideClickCancels) {
  HMENU recent = nullptr;
  HMENU m = NestedPopup(recent);
  RunWhenIdle({[&] { Headless::MoveMouse(ItemCentre(m, 0).X, ItemCentre(m, 0).Y); },
               [&] { ClickAt(ItemCentre(recent, 1)); }});
  EXPECT_EQ(Track(m), static_cast<UINT>(idTwo));

  RunWhenIdle({[&] { ClickAt(ItemCentre(m, 1)); }});
  EXPECT_EQ(Track(m), static_cast<UINT>(idClose));

  RunWhenIdle({[&] { ClickAt({5, 5}); }});
  EXPECT_EQ(Track(m), 0u);

  // A click on the sub-menu's item in the parent keeps the menu open.
  RunWhenIdle({[&] { ClickAt(ItemCentre(m, 0)); }, [&] { ClickAt(ItemCentre(recent, 0)); }});
  EXPECT_EQ(Track(m), static_cast<UINT>(idOne));
  DestroyMenu(m);
}

TEST_F(WinMenuTest, RightButtonChoosesOnlyWithTheRightButtonFlag) {
  HMENU m = FilePopup();
  RunWhenIdle({[&] { ClickAt(ItemCentre(m, 0), 1); }, [&] { Headless::PressKey(VK_ESCAPE); }});
  EXPECT_EQ(Track(m, TPM_RETURNCMD | TPM_LEFTBUTTON), 0u);
  RunWhenIdle({[&] { ClickAt(ItemCentre(m, 0), 1); }});
  EXPECT_EQ(Track(m, TPM_RETURNCMD | TPM_RIGHTBUTTON), static_cast<UINT>(idNew));
  // A disabled item and the separator cannot be chosen.
  RunWhenIdle({[&] { ClickAt(ItemCentre(m, 3)); }, [&] { ClickAt(ItemCentre(m, 2)); }, [&] { Headless::PressKey(VK_ESCAPE); }});
  EXPECT_EQ(Track(m), 0u);
  DestroyMenu(m);
}

TEST_F(WinMenuTest, PopupIsPlacedByAlignmentAndKeptOnScreen) {
  HMENU m = FilePopup();
  struct TCase {
    UINT Flags;
    int X, Y;
  };
  const TCase cases[] = {{TPM_LEFTALIGN, 300, 200}, {TPM_RIGHTALIGN, 300, 200}, {TPM_CENTERALIGN | TPM_BOTTOMALIGN, 300, 400},
                         {TPM_LEFTALIGN, 1275, 975}};
  for (const TCase& c : cases) {
    RECT r{};
    RunWhenIdle({[&] {
           GetMenuItemRect(nullptr, m, 0, &r);
           EndMenu();
         }});
    TrackPopupMenuEx(m, c.Flags | TPM_RETURNCMD, c.X, c.Y, Owner, nullptr);
    RECT work;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    int left = r.Left - 3, top = r.Top - 3;  // the item sits inside the pop-up's border
    if (c.Flags & TPM_RIGHTALIGN) {
      EXPECT_LT(left, c.X);
    }
    if (c.Flags == TPM_LEFTALIGN && c.X < 1000) {
      EXPECT_EQ(left, c.X);
    }
    if (c.Flags & TPM_BOTTOMALIGN) {
      EXPECT_LT(top, c.Y);
    }
    EXPECT_LE(r.Right, work.Right);
    EXPECT_LE(r.Bottom, work.Bottom);
    EXPECT_GE(left, work.Left);
  }
  DestroyMenu(m);
}

TEST_F(WinMenuTest, SelectedItemIsDrawnHighlighted) {
  HMENU m = FilePopup();
  COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), menu = GetSysColor(COLOR_MENU);
  auto pixel = [](TPoint screen) {
    RECT w;
    HWND popup = WindowFromPoint(screen);
    GetWindowRect(popup, &w);
    const TSurface* s = Headless::WindowSurface(popup);
    uint32_t p = s->Row(screen.Y - w.Top)[screen.X - w.Left];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  };
  COLORREF before = 0, after = 0, other = 0;
  RunWhenIdle({[&] {
                 RECT r;
                 GetMenuItemRect(nullptr, m, 1, &r);
                 before = pixel({r.Right - 4, r.Top + 1});
                 Headless::PressKey(VK_DOWN);
                 Headless::PressKey(VK_DOWN);
               },
               [&] {
                 RECT r;
                 GetMenuItemRect(nullptr, m, 1, &r);
                 after = pixel({r.Right - 4, r.Top + 1});
                 GetMenuItemRect(nullptr, m, 0, &r);
                 other = pixel({r.Right - 4, r.Top + 1});
                 EndMenu();
               }});
  Track(m);
  EXPECT_EQ(before, menu);
  EXPECT_EQ(after, highlight);
  EXPECT_EQ(other, menu);
  DestroyMenu(m);
}

// On a high-DPI screen the tick, the radio bullet and the sub-menu arrow step by device pixels:
// no mark is a one-unit picture made twice as large.
TEST_F(WinMenuTest, MarksAreDrawnAtTheDevicePixels) {
  Headless::SetScreenDpi(192);
  HMENU recent = nullptr;
  HMENU m = NestedPopup(recent);
  AppendMenu(m, MF_STRING | MF_CHECKED, idNew, "&New");
  AppendMenu(m, MF_STRING | MF_CHECKED, idOpen, "&Open");
  MENUITEMINFO radio;
  radio.fMask = MIIM_FTYPE;
  radio.fType = MFT_RADIOCHECK;
  SetMenuItemInfo(m, idOpen, FALSE, &radio);
  struct TMark {
    UINT Pos;
    bool AtLeft;
    bool Blocky = true;
  };
  TMark marks[] = {{0, false}, {2, true}, {3, true}};
  OnceIdle([&] {
    for (TMark& mark : marks) {
      RECT r;
      GetMenuItemRect(nullptr, m, mark.Pos, &r);
      HWND popup = WindowFromPoint(Centre(r));
      RECT w;
      GetWindowRect(popup, &w);
      const TSurface* s = Headless::WindowSurface(popup);
      auto device = [&](int x, int y) { return s->Row(y)[x] & 0xFFFFFF; };
      const int left = 2 * ((mark.AtLeft ? r.Left : r.Right - 16) - w.Left), top = 2 * (r.Top - w.Top);
      for (int y = top; y < top + 2 * r.Height(); y += 2)
        for (int x = left; x < left + 32; x += 2) {
          const uint32_t p = device(x, y);
          if (device(x + 1, y) != p || device(x, y + 1) != p || device(x + 1, y + 1) != p) mark.Blocky = false;
        }
    }
    EndMenu();
  });
  Track(m);
  for (const TMark& mark : marks) EXPECT_FALSE(mark.Blocky) << "item " << mark.Pos;
  DestroyMenu(m);
}

TEST_F(WinMenuTest, ExcludedRectangleIsKeptClear) {
  HMENU m = FilePopup();
  struct TCase {
    UINT Flags;
    RECT Exclude;
  };
  const TCase cases[] = {{TPM_LEFTALIGN, {280, 190, 340, 210}}, {TPM_VERTICAL, {280, 190, 340, 210}}};
  for (const TCase& c : cases) {
    RECT first{}, last{};
    RunWhenIdle({[&] {
           GetMenuItemRect(nullptr, m, 0, &first);
           GetMenuItemRect(nullptr, m, 4, &last);
           EndMenu();
         }});
    TPMPARAMS params;
    params.rcExclude = c.Exclude;
    TrackPopupMenuEx(m, c.Flags | TPM_RETURNCMD, 300, 200, Owner, &params);
    if (c.Flags & TPM_VERTICAL) {
      EXPECT_GE(first.Top, c.Exclude.Bottom) << "below the rectangle";
    } else {
      EXPECT_GE(first.Left, c.Exclude.Right) << "beside the rectangle";
    }
    EXPECT_GT(last.Bottom, first.Bottom);
  }
  DestroyMenu(m);
}

TEST_F(WinMenuTest, BitmapItemsAreSizedAndDrawnFromTheirBitmaps) {
  std::vector<uint32_t> red(40 * 20, 0xFF0000);
  HBITMAP whole = CreateBitmap(40, 20, 1, 32, red.data());
  std::vector<uint32_t> green(12 * 12, 0x00FF00);
  HBITMAP picture = CreateBitmap(12, 12, 1, 32, green.data());
  HMENU m = CreatePopupMenu();
  AppendMenu(m, MF_BITMAP, 1, reinterpret_cast<LPCSTR>(whole));
  AppendMenu(m, MF_STRING, 2, "&Picture");
  MENUITEMINFO info;
  info.fMask = MIIM_BITMAP;
  info.hbmpItem = picture;
  ASSERT_TRUE(SetMenuItemInfo(m, 2, FALSE, &info));
  RECT r0{}, r1{};
  uint32_t inWhole = 0, inPicture = 0;
  RunWhenIdle({[&] {
         GetMenuItemRect(nullptr, m, 0, &r0);
         GetMenuItemRect(nullptr, m, 1, &r1);
         HWND popup = WindowFromPoint({r0.Left + 1, r0.Top + 1});
         RECT w;
         GetWindowRect(popup, &w);
         const TSurface* s = Headless::WindowSurface(popup);
         inWhole = s->Row(r0.Top - w.Top + 10)[r0.Left - w.Left + 30];
         inPicture = s->Row((r1.Top + r1.Bottom) / 2 - w.Top)[r1.Left - w.Left + 26];
         EndMenu();
       }});
  Track(m);
  EXPECT_EQ(r0.Height(), 22);
  EXPECT_GE(r0.Width(), 40);
  EXPECT_EQ(inWhole, 0xFF0000u);
  EXPECT_EQ(inPicture, 0x00FF00u);
  DestroyMenu(m);
  DeleteObject(whole);
  DeleteObject(picture);
}

// ------------------------------------------------------------------ owner drawing

TEST_F(WinMenuTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheOwner) {
  HMENU m = CreatePopupMenu();
  AppendMenu(m, MF_OWNERDRAW, 11, reinterpret_cast<LPCSTR>(0x5150));
  AppendMenu(m, MF_OWNERDRAW | MF_CHECKED, 12, reinterpret_cast<LPCSTR>(0x5151));
  std::vector<DRAWITEMSTRUCT> drawn;
  std::vector<ULONG_PTR> measured;
  MsgHandler() = [&](HWND, UINT msg, WPARAM, LPARAM l, LRESULT& r) {
    if (msg == WM_MEASUREITEM) {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      EXPECT_EQ(mis->CtlType, ODT_MENU);
      measured.push_back(mis->itemData);
      mis->itemWidth = 120;
      mis->itemHeight = 30;
      r = TRUE;
      return true;
    }
    if (msg == WM_DRAWITEM) {
      drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(l));
      r = TRUE;
      return true;
    }
    return false;
  };
  RECT item{};
  RunWhenIdle({[&] {
         GetMenuItemRect(nullptr, m, 1, &item);
         Headless::PressKey(VK_DOWN);
         Headless::PressKey(VK_DOWN);
         Headless::PressKey(VK_RETURN);
       }});
  EXPECT_EQ(Track(m), 12u);
  EXPECT_EQ(measured, (std::vector<ULONG_PTR>{0x5150, 0x5151}));
  EXPECT_EQ(item.Height(), 30);
  EXPECT_GE(item.Width(), 120);
  ASSERT_FALSE(drawn.empty());
  const DRAWITEMSTRUCT& last = drawn.back();
  EXPECT_EQ(last.CtlType, ODT_MENU);
  EXPECT_EQ(last.hwndItem, reinterpret_cast<HWND>(m));
  bool sawSelectedChecked = false;
  for (const DRAWITEMSTRUCT& d : drawn)
    if (d.itemID == 12 && (d.itemState & ODS_SELECTED) && (d.itemState & ODS_CHECKED) && d.itemData == 0x5151)
      sawSelectedChecked = true;
  EXPECT_TRUE(sawSelectedChecked);
  DestroyMenu(m);
}

// ------------------------------------------------------------------ the menu bar

class WinMenuBarTest : public WinMenuTest {
 protected:
  void SetUp() override {
    WinMenuTest::SetUp();
    HMENU recent = nullptr;
    File = FilePopup();
    Edit = NestedPopup(recent);
    Bar = CreateMenu();
    AppendMenu(Bar, MF_POPUP, reinterpret_cast<UINT_PTR>(File), "&File");
    AppendMenu(Bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Edit), "&Edit");
    AppendMenu(Bar, MF_STRING, idSave, "&Go");
    GetClientRect(Owner, &ClientBefore);
    ASSERT_TRUE(SetMenu(Owner, Bar));
    MsgLog().clear();
  }

  UINT Run() {
    Pump();
    const TLoggedMsg* c = Command();
    return c ? LOWORD(c->W) : 0;
  }

  HMENU File = nullptr, Edit = nullptr, Bar = nullptr;
  RECT ClientBefore;
};

TEST_F(WinMenuBarTest, BarTakesItsHeightFromTheClientAndHitTestsAsMenu) {
  EXPECT_EQ(GetMenu(Owner), Bar);
  int height = GetMenuBarHeight(Owner);
  EXPECT_GE(height, GetSystemMetrics(SM_CYMENU));
  RECT client;
  GetClientRect(Owner, &client);
  EXPECT_EQ(client.Height(), ClientBefore.Height() - height);
  TPoint file = ItemCentre(Bar, 0, Owner);
  EXPECT_EQ(SendMessage(Owner, WM_NCHITTEST, 0, MAKELPARAM(file.X, file.Y)), HTMENU);
  RECT edit;
  GetMenuItemRect(Owner, Bar, 1, &edit);
  EXPECT_EQ(MenuItemFromPoint(Owner, Bar, Centre(edit)), 1);
  EXPECT_GT(edit.Left, file.X);

  // A narrow window wraps the bar into more rows.
  SetWindowPos(Owner, nullptr, 0, 0, 90, 300, SWP_NOMOVE | SWP_NOZORDER);
  int wrapped = GetMenuBarHeight(Owner);
  EXPECT_GT(wrapped, height);
  GetClientRect(Owner, &client);
  int withBar = client.Height();
  SetMenu(Owner, nullptr);
  EXPECT_EQ(GetMenuBarHeight(Owner), 0);
  GetClientRect(Owner, &client);
  EXPECT_EQ(client.Height(), withBar + wrapped);
  EXPECT_TRUE(IsMenu(Bar)) << "taking the bar away does not destroy it";
  DestroyMenu(Bar);
}

TEST_F(WinMenuBarTest, KeyboardEntersTheBar) {
  struct TCase {
    const char* Name;
    std::function<void()> Keys;
    UINT Result;
  };
  const TCase cases[] = {
      {"Alt, Down, Enter", [] { Headless::PressKey(VK_MENU); Headless::PressKey(VK_DOWN); Headless::PressKey(VK_RETURN); }, idNew},
      {"F10, Enter, Up, Enter", [] { Headless::PressKey(VK_F10); Headless::PressKey(VK_RETURN); Headless::PressKey(VK_UP); Headless::PressKey(VK_RETURN); }, idExit},
      {"Alt+F, O", [] { Headless::PressKey('F', skAlt); Headless::PressKey('O'); }, idOpen},
      {"Alt, Right, Right, Enter", [] { Headless::PressKey(VK_MENU); Headless::PressKey(VK_RIGHT); Headless::PressKey(VK_RIGHT); Headless::PressKey(VK_RETURN); }, idSave},
      {"Alt+F, Right moves to Edit", [] { Headless::PressKey('F', skAlt); Headless::PressKey(VK_RIGHT); Headless::PressKey(VK_DOWN); Headless::PressKey(VK_RETURN); }, idClose},
      {"Alt+E, Right opens the sub-menu", [] { Headless::PressKey('E', skAlt); Headless::PressKey(VK_RIGHT); Headless::PressKey(VK_RETURN); }, idOne},
      {"Alt+F, Esc, Esc", [] { Headless::PressKey('F', skAlt); Headless::PressKey(VK_ESCAPE); Headless::PressKey(VK_ESCAPE); }, 0},
      {"Alt, Alt", [] { Headless::PressKey(VK_MENU); Headless::PressKey(VK_MENU); }, 0},
      {"Alt+Q beeps", [] { Headless::PressKey('Q', skAlt); Headless::PressKey(VK_ESCAPE); }, 0},
  };
  for (const TCase& c : cases) {
    MsgLog().clear();
    c.Keys();
    EXPECT_EQ(Run(), c.Result) << c.Name;
    EXPECT_EQ(GetMenuOwner(), nullptr) << c.Name;
  }
}

TEST_F(WinMenuBarTest, ClicksOpenBarPopupsAndChooseItems) {
  RunWhenIdle({[&] { ClickAt(ItemCentre(File, 1)); }});
  TPoint file = ItemCentre(Bar, 0, Owner);
  ClickAt(file);
  EXPECT_EQ(Run(), static_cast<UINT>(idOpen));

  // Sliding to the next bar item switches pop-ups; a second click on the bar item closes.
  MsgLog().clear();
  TPoint edit = ItemCentre(Bar, 1, Owner);
  RunWhenIdle({[&] { Headless::MoveMouse(edit.X, edit.Y); },
               [&] {
                 RECT r;
                 EXPECT_TRUE(GetMenuItemRect(nullptr, Edit, 0, &r)) << "Edit's pop-up is open";
                 EXPECT_FALSE(GetMenuItemRect(nullptr, File, 0, &r)) << "File's pop-up closed";
                 ClickAt(edit);
               }});
  ClickAt(file);
  EXPECT_EQ(Run(), 0u);

  // A command item on the bar itself.
  MsgLog().clear();
  ClickAt(ItemCentre(Bar, 2, Owner));
  Headless::MoveMouse(ItemCentre(Bar, 2, Owner).X + 1, ItemCentre(Bar, 2, Owner).Y);
  EXPECT_EQ(Run(), static_cast<UINT>(idSave));
}

TEST_F(WinMenuBarTest, DestroyingTheWindowDestroysItsBar) {
  DestroyWindow(Owner);
  EXPECT_FALSE(IsMenu(Bar));
  EXPECT_FALSE(IsMenu(File));
}

// ------------------------------------------------------------------ accelerators

TEST_F(WinMenuTest, AcceleratorTablesSendCommands) {
  ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'S', idSave}, {FVIRTKEY, VK_F5, idOpen}, {0, '+', idNew}};
  HACCEL table = CreateAcceleratorTable(keys, 3);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(CopyAcceleratorTable(table, nullptr, 0), 3);
  std::vector<UINT> commands;
  auto loop = [&] {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE))
      if (!TranslateAccelerator(Owner, table, &m)) {
        TranslateMessage(&m);
        DispatchMessage(&m);
      }
  };
  MsgHandler() = [&](HWND, UINT msg, WPARAM w, LPARAM, LRESULT&) {
    if (msg == WM_COMMAND) {
      EXPECT_EQ(HIWORD(w), 1) << "from an accelerator";
      commands.push_back(LOWORD(w));
    }
    return false;
  };
  Headless::PressKey('S', skCtrl);
  Headless::PressKey('S');
  Headless::PressKey(VK_F5);
  Headless::PressKey(VK_F5, skShift);
  Headless::TypeText("+");
  loop();
  EXPECT_EQ(commands, (std::vector<UINT>{idSave, idOpen, idNew}));

  // A disabled command of the window's bar is not sent.
  HMENU bar = CreateMenu();
  AppendMenu(bar, MF_STRING | MF_GRAYED, idSave, "Save");
  SetMenu(Owner, bar);
  commands.clear();
  Headless::PressKey('S', skCtrl);
  loop();
  EXPECT_TRUE(commands.empty());
  EXPECT_TRUE(DestroyAcceleratorTable(table));
  EXPECT_FALSE(DestroyAcceleratorTable(table));
  EXPECT_EQ(CreateAcceleratorTable(nullptr, 2), nullptr);
}

}  // namespace
