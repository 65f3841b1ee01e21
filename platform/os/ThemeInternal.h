// Private records of the theme engine: the classes and parts it answers, how a state number
// reads, and the drawing entry points shared by the engine's two parts (see Theme.h).
#pragma once

#include "platform/os/Gdi.h"
#include "platform/os/Theme.h"

enum class TThemeClass { Button, ComboBox, Edit, Header, ListView, Page, Progress, ScrollBar, Spin, Status, Tab,
                         TrackBar, TreeView, Window, Count };

// What a part looks like; several parts of different classes share a look.
enum class TPartKind {
  PushButton, CheckBox, RadioButton, GroupBox, ScrollArrow, ScrollThumb, ScrollTrack, ScrollGripper, SizeBox,
  Frame, TreeGlyph, HeaderItem, Track, TrackThumb, SmallClose, TabItem, TabPane, EditText, DropDown,
  ArrowButton, StatusBackground, StatusPane, StatusGripper, ProgressBar, ProgressChunk
};

enum class TArrowDir { Up, Down, Left, Right };

struct TThemePart {
  TThemeClass Class;
  int Part;
  TPartKind Kind;
  int MaxState;          // states 0 (read as 1) .. MaxState
  TRect Margins;         // content margins: left, top, right, bottom
  TSize TrueSize;        // 0 x 0: the part takes the size it is given
  TSize MinSize;
  bool Transparent;      // leaves pixels of its rectangle untouched
  TArrowDir Arrow;       // spin, page and drop-down buttons
};

const TThemePart* FindThemePart(TThemeClass cls, int part);

// How a state number reads for a part.
enum class TVisual { Normal, Hot, Pressed, Disabled, Default };
struct TPartState {
  TVisual Visual = TVisual::Normal;
  int Check = 0;          // check boxes and radio buttons: 0 unchecked, 1 checked, 2 mixed
  TArrowDir Arrow = TArrowDir::Up;
  bool Selected = false;  // tabs, edits: selected or focused
  bool Opened = false;    // tree glyphs
};
TPartState ReadPartState(const TThemePart& part, int state);

void DrawThemePart(HDC dc, const TThemePart& part, const TPartState& state, const TRect& r);
void DrawThemeEdgeLines(HDC dc, TRect& r, UINT edge, UINT flags);
// TMT_BORDERCOLOR, TMT_FILLCOLOR, TMT_TEXTCOLOR of a part in a state; false for other ids.
bool ThemePartColor(const TThemePart& part, const TPartState& state, int propId, COLORREF& color);
