// Drag images drawn over a window or the screen, with the covered pixels saved and restored.
#include "platform/os/GdiInternal.h"
#include "platform/os/Windows.h"

namespace {

struct TDragState {
  HIMAGELIST Image = nullptr;   // our copy of the dragged image
  HIMAGELIST Cursor = nullptr;  // optional cursor image drawn over it
  int CursorIndex = 0;
  POINT Hot{};
  POINT CursorHot{};
  HWND Lock = nullptr;
  HDC DC = nullptr;
  POINT Pos{};
  bool Visible = false;
  HDC Saved = nullptr;  // pixels under the shown image
  HBITMAP SavedBitmap = nullptr;
  POINT SavedAt{};
};

TDragState& Drag() {
  static TDragState state;
  return state;
}

SIZE ImageSize(HIMAGELIST list) {
  SIZE s{};
  ImageList_GetIconSize(list, &s.cx, &s.cy);
  return s;
}

void Hide(TDragState& d) {
  if (!d.Visible || !d.DC) return;
  SIZE s = ImageSize(d.Image);
  BitBlt(d.DC, d.SavedAt.X, d.SavedAt.Y, s.cx, s.cy, d.Saved, 0, 0, SRCCOPY);
  d.Visible = false;
}

void Show(TDragState& d) {
  if (d.Visible || !d.DC || !d.Image) return;
  SIZE s = ImageSize(d.Image);
  if (!d.Saved) {
    d.Saved = CreateCompatibleDC(nullptr);
    d.SavedBitmap = CreateBitmap(s.cx, s.cy, 1, 32, nullptr);
    SelectObject(d.Saved, d.SavedBitmap);
  }
  d.SavedAt = {d.Pos.X - d.Hot.X, d.Pos.Y - d.Hot.Y};
  BitBlt(d.Saved, 0, 0, s.cx, s.cy, d.DC, d.SavedAt.X, d.SavedAt.Y, SRCCOPY);
  ImageList_Draw(d.Image, 0, d.DC, d.SavedAt.X, d.SavedAt.Y, ILD_TRANSPARENT);
  if (d.Cursor)
    ImageList_Draw(d.Cursor, d.CursorIndex, d.DC, d.SavedAt.X + d.Hot.X - d.CursorHot.X,
                   d.SavedAt.Y + d.Hot.Y - d.CursorHot.Y, ILD_TRANSPARENT);
  d.Visible = true;
}

void ReleaseTarget(TDragState& d) {
  if (d.DC) ReleaseDC(d.Lock, d.DC);
  d.DC = nullptr;
  d.Lock = nullptr;
}

}  // namespace

BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int hotX, int hotY) {
  HBITMAP image = nullptr, mask = nullptr;
  if (!ImageList_GetImageBitmaps(list, index, &image, &mask)) return FALSE;
  ImageList_EndDrag();
  TDragState& d = Drag();
  SIZE s = ImageSize(list);
  d.Image = ImageList_Create(s.cx, s.cy, ILC_COLOR32 | ILC_MASK, 1, 0);
  ImageList_Add(d.Image, image, mask);
  DeleteObject(image);
  DeleteObject(mask);
  d.Hot = {hotX, hotY};
  return TRUE;
}

BOOL ImageList_SetDragCursorImage(HIMAGELIST list, int index, int hotX, int hotY) {
  TDragState& d = Drag();
  if (!d.Image || index < 0 || index >= ImageList_GetImageCount(list)) return FALSE;
  bool shown = d.Visible;
  Hide(d);
  d.Cursor = list;
  d.CursorIndex = index;
  d.CursorHot = {hotX, hotY};
  if (shown) Show(d);
  return TRUE;
}

BOOL ImageList_DragEnter(HWND lock, int x, int y) {
  TDragState& d = Drag();
  if (!d.Image) return FALSE;
  Hide(d);
  ReleaseTarget(d);
  d.DC = lock ? GetWindowDC(lock) : GetDC(nullptr);
  if (!d.DC) return FALSE;
  d.Lock = lock;
  d.Pos = {x, y};
  Show(d);
  return TRUE;
}

BOOL ImageList_DragMove(int x, int y) {
  TDragState& d = Drag();
  if (!d.Image) return FALSE;
  bool shown = d.Visible;
  Hide(d);
  d.Pos = {x, y};
  if (shown) Show(d);
  return TRUE;
}

BOOL ImageList_DragShowNolock(BOOL show) {
  TDragState& d = Drag();
  if (!d.Image || !d.DC) return FALSE;
  if (show) Show(d);
  else Hide(d);
  return TRUE;
}

BOOL ImageList_DragLeave(HWND lock) {
  TDragState& d = Drag();
  if (!d.DC || lock != d.Lock) return FALSE;
  Hide(d);
  ReleaseTarget(d);
  return TRUE;
}

void ImageList_EndDrag() {
  TDragState& d = Drag();
  Hide(d);
  ReleaseTarget(d);
  if (d.Saved) DeleteDC(d.Saved);
  if (d.SavedBitmap) DeleteObject(d.SavedBitmap);
  if (d.Image) ImageList_Destroy(d.Image);
  d = TDragState();
}

HIMAGELIST ImageList_GetDragImage(POINT* position, POINT* hotSpot) {
  TDragState& d = Drag();
  if (position) *position = d.Pos;
  if (hotSpot) *hotSpot = d.Hot;
  return d.Image;
}
