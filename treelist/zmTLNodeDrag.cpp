// The tree list's work on whole nodes: sorting the children lists by column values, dragging
// nodes (drag image, auto-expand and auto-scroll over the rows) and panning with the middle
// button.
#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/forms/ImgList.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmEditor.h"
#include "treelist/zmTL.h"
#include "treelist/zmTLFeedback.h"
#include "treelist/zmTLHelpers.h"
#include "treelist/zmTLResources.h"

namespace {

constexpr UINT_PTR kNodeDragExpandTimer = 101;
constexpr Integer kScrollZone = 12;
constexpr UINT kPanInterval = 20;

bool IsDragOverRowKind(TzmTreeListHitKind Kind) {
  switch (Kind) {
    case tlhButton: case tlhImage: case tlhStateImage: case tlhIndent: case tlhCell: case tlhRowEnd:
    case tlhRowFooter: case tlhPreview:
      return true;
    default:
      return false;
  }
}

bool IsMouseButtonMessage(UINT Message) {
  return Message >= WM_LBUTTONDOWN && Message <= WM_MBUTTONDBLCLK;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Sorting

void TCustomzmTreeList::SortNodeList(std::vector<TzmTreeListNode*>& List, Integer Column, bool Descending) {
  if (List.size() < 2) return;
  Integer sorted = GetSortedColumnCount();
  bool multi = IsMultiSortActive(Column) && sorted > 1;
  size_t chain = multi ? static_cast<size_t>(sorted) : 1;
  // One chain of keys per node, the first sorted column first, each value read once into its
  // typed key: the comparisons then read no Variant and copy no text.
  std::vector<TNodeVariant> keys(List.size() * chain);
  Variant value;
  for (size_t i = 0; i < List.size(); ++i) {
    for (size_t k = 0; k < chain; ++k) {
      TNodeVariant& key = keys[i * chain + k];
      Integer column = multi ? GetSortedColumn(static_cast<Integer>(k)) : Column;
      key.Node = List[i];
      key.Descending = multi ? IsSortedColumnDescending(static_cast<Integer>(k)) : Descending;
      GetNodeSortValue(List[i], column, value);
      key.Value = value;
      key.Next = k + 1 < chain ? &key + 1 : nullptr;
    }
  }
  std::vector<const TNodeVariant*> order;
  order.reserve(List.size());
  for (size_t i = 0; i < List.size(); ++i) order.push_back(&keys[i * chain]);
  auto compare = OnCompareNodes ? CompareSortKeysByEvent
                                : (IsCaseSensitiveSort() ? CompareSortKeysCaseSensitive : CompareSortKeys);
  // A merge sort: an event that answers inconsistently can only give a strange order.
  std::stable_sort(order.begin(), order.end(),
                   [&](const TNodeVariant* A, const TNodeVariant* B) { return compare(this, A, B) < 0; });
  for (size_t i = 0; i < order.size(); ++i) List[i] = order[i]->Node;
}

void TCustomzmTreeList::SortNodes(Integer Level, Integer Column, bool Descending) {
  TCursor saved = Screen->GetCursor();
  if (IsSortHourglass()) Screen->SetCursor(crHourGlass);
  TFinally restoreCursor([saved] { Screen->SetCursor(saved); });
  TUpdateScope update(this);
  // The lists Level levels below the roots (every list for -1), the root list (nil) first.
  std::vector<std::pair<TzmTreeListNode*, Integer>> pending{{nullptr, 0}};
  while (!pending.empty()) {
    auto [parent, level] = pending.back();
    pending.pop_back();
    std::vector<TzmTreeListNode*>& list = parent ? parent->FChildren : FRootNodes;
    if (Level < 0 || level == Level) {
      SortNodeList(list, Column, Descending);
      for (size_t i = 0; i < list.size(); ++i) list[i]->FIndex = static_cast<Integer>(i);
      (parent ? parent->FChildRows : FRootRows).Reordered();
    }
    if (Level >= 0 && level >= Level) continue;
    for (auto it = list.rbegin(); it != list.rend(); ++it)
      if (!(*it)->FChildren.empty()) pending.emplace_back(*it, level + 1);
  }
}

// ---------------------------------------------------------------------------------------------
// Node drag

TBitmap* TCustomzmTreeList::CreateNodeDragImage(TzmTreeListNode* Node, Integer VisibleColumn) {
  if (VisibleColumn < 0) VisibleColumn = 0;
  TRect cell = Rect(0, 0, FMetrics.RowHeight, 16);
  String text;
  if (GetVisibleColumnCount() > 0) {
    TRect r = GetCellRect(Node, VisibleColumn);
    cell = r == zmNoRect ? Rect(0, 0, 100, FMetrics.RowHeight) : r;
    GetNodeDragText(Node, GetVisibleColumn(VisibleColumn), text);
  }
  auto* bitmap = New<TBitmap>();
  Integer width = cell.Width() + 26, height = cell.Height() + 6;
  bitmap->SetSize(width, height);
  TCanvas* canvas = bitmap->GetCanvas();
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(Rect(0, 0, width, height));
  canvas->GetFont()->Assign(GetFont());
  HDC dc = canvas->GetHandle();
  SetBkColor(dc, RGB(0, 0, 0));
  SetTextColor(dc, RGB(255, 255, 255));
  for (Integer i = 0; i < 3; ++i) {
    TRect frame = Rect(20 + i, i, width - i, height - i);
    DrawFocusRect(dc, &frame);
  }
  Integer x = 24;
  Integer state = GetNodeStateIndex(Node);
  if (state >= 0 && FNodeStateImages) {
    FNodeStateImages->Draw(canvas, x, (height - FMetrics.StateImageHeight) / 2, state);
    x += FMetrics.StateImageWidth;
  }
  Integer image = GetNodeImageIndex(Node);
  if (image >= 0 && FNodeImages) {
    FNodeImages->Draw(canvas, x, (height - FMetrics.ImageHeight) / 2, image);
    x += FMetrics.ImageWidth;
  }
  TRect textRect = Rect(x + 1, 3, width - 3, height - 3);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
  DrawText(dc, text.c_str(), Length(text), &textRect, DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
  return bitmap;
}

void TCustomzmTreeList::DoNodeDragStart(TzmTreeListNode* Node) {
  if (OnNodeDragStart) OnNodeDragStart(this, Node);
}

void TCustomzmTreeList::DoStartDrag(TDragObject*& DragObject) {
  EndEditingQuietly();
  KillEditorTimer();
  inherited::DoStartDrag(DragObject);
  TPoint cursor;
  GetCursorPos(&cursor);
  if (!FDraggedNode) {
    TPoint p = ScreenToClient(cursor);
    FDraggedNode = GetNodeAt(p.X, p.Y);
  }
  if (!FDraggedNode) return;
  DoNodeDragStart(FDraggedNode);
  TOwned<TBitmap> image(CreateNodeDragImage(FDraggedNode, FFocusedVisibleColumn));
  if (!FDragImage) FDragImage = MakeOwned<TzmTreeListFeedbackWindow>(nullptr);
  FDragImage->ShowBitmap(image.get(), Point(cursor.X - 10, cursor.Y - image->GetHeight() / 2));
  SetInteractionState(tlsNodeDragging);
}

void TCustomzmTreeList::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  inherited::DoEndDrag(Target, X, Y);
  FDraggedNode = nullptr;
  FDragHoverNode = nullptr;
  if (FDragExpandTimerRunning && HandleAllocated()) KillTimer(GetHandle(), kNodeDragExpandTimer);
  FDragExpandTimerRunning = false;
  StopHorzAutoScroll();
  StopVertAutoScroll();
  SetInteractionState(tlsIdle);
  if (FDragImage) FDragImage->HideFeedback();
}

void TCustomzmTreeList::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  inherited::DragOver(Source, X, Y, State, Accept);
  if (FInteractionState != tlsNodeDragging) return;
  if (FDragImage && FDragImage->IsShown()) {
    TPoint screen = ClientToScreen(Point(X, Y));
    FDragImage->MoveTo(Point(screen.X - 10, screen.Y - FDragImage->GetHeight() / 2));
  }
  StopHorzAutoScroll();
  StopVertAutoScroll();
  if (State == dsDragLeave) return;
  TzmTreeListHitTestInfo hit;
  CalcHitTest(Point(X, Y), hit);
  if (IsDragExpand() && hit.Kind == tlhButton && hit.Node && HandleAllocated() &&
      (hit.Node != FDragHoverNode || !FDragExpandTimerRunning)) {
    FDragHoverNode = hit.Node;
    SetTimer(GetHandle(), kNodeDragExpandTimer, static_cast<UINT>(FDragExpandDelay), nullptr);
    FDragExpandTimerRunning = true;
  }
  if (!IsDragScroll()) return;
  TzmTreeListDrawInfo info;
  CalcDrawInfo(info);
  Integer left = info.LeftFixedRect.IsEmpty() ? info.RowsRect.Left : info.LeftFixedRect.Right;
  Integer right = info.RightFixedRect.IsEmpty() ? info.RowsRect.Right : info.RightFixedRect.Left;
  if (X >= left && X < left + kScrollZone) StartHorzAutoScroll(-1);
  else if (X < right && X >= right - kScrollZone) StartHorzAutoScroll(1);
  if (!IsDragOverRowKind(hit.Kind) || !hit.Node) return;
  Integer column = hit.ColumnIndex >= 0 ? GetColumnVisibleIndex(hit.ColumnIndex) : FFocusedVisibleColumn;
  if (FFocusedNode != hit.Node) SetFocusedNodeColumn(hit.Node, column, false);
  else if (!IsRowSelect() && column != FFocusedVisibleColumn) SetFocusedNodeColumn(FFocusedNode, column, false);
  Update();
  Integer index = IndexOfVisibleNode(hit.Node), top = GetTopIndex();
  if (hit.Node == FTopNode && !IsFirstNode(hit.Node)) StartVertAutoScroll(-1, false);
  else if (index >= top + FPageRowCount - 1 && !IsLastNode(hit.Node)) StartVertAutoScroll(1, false);
}

void TCustomzmTreeList::DragExpandTick() {
  if (HandleAllocated()) KillTimer(GetHandle(), kNodeDragExpandTimer);
  FDragExpandTimerRunning = false;
  if (!FDragHoverNode) return;
  TPoint cursor;
  GetCursorPos(&cursor);
  TPoint p = ScreenToClient(cursor);
  TzmTreeListHitTestInfo hit;
  CalcHitTest(p, hit);
  if (hit.Kind != tlhButton || hit.Node != FDragHoverNode) return;
  if (!IsDragExpandToggles()) {
    FDragHoverNode->SetExpanded(true);
    return;
  }
  FDragHoverNode->SetExpanded(!FDragHoverNode->GetExpanded());
  if (HandleAllocated()) {
    SetTimer(GetHandle(), kNodeDragExpandTimer, static_cast<UINT>(2 * FDragExpandDelay), nullptr);
    FDragExpandTimerRunning = true;
  }
}

// ---------------------------------------------------------------------------------------------
// Panning

void TCustomzmTreeList::PanningStep(TPoint Offset, Integer Size, bool HorzBar, bool VertBar, Integer& Direction,
                                    Integer& Speed) {
  Integer half = Size / 2;
  bool stillX = !HorzBar || std::abs(Offset.X) <= half;
  bool stillY = !VertBar || std::abs(Offset.Y) <= half;
  if (stillX && stillY) {
    Direction = Speed = 0;
    return;
  }
  bool vertical = !HorzBar || (VertBar && std::abs(Offset.Y) >= std::abs(Offset.X));
  Integer distance = vertical ? std::abs(Offset.Y) : std::abs(Offset.X);
  Direction = vertical ? (Offset.Y < 0 ? 2 : 4) : (Offset.X < 0 ? 1 : 3);
  Speed = std::clamp((distance - half) / 5 + 1, 1, 12);
}

void TCustomzmTreeList::StartPanning() {
  bool horz = HasHorzScrollBar(), vert = HasVertScrollBar();
  if ((!horz && !vert) || !HandleAllocated()) return;
  TPoint start;
  GetCursorPos(&start);
  TOwned<TBitmap> picture = MakeOwned<TBitmap>();
  PaintPanPicture(picture.get(), horz, vert);
  TOwned<TzmTreeListFeedbackWindow> pan = MakeOwned<TzmTreeListFeedbackWindow>(nullptr);
  pan->ShowBitmap(picture.get(), Point(start.X - zmPanPictureSize / 2, start.Y - zmPanPictureSize / 2),
                  CreateEllipticRgn(0, 0, zmPanPictureSize + 1, zmPanPictureSize + 1));
  Screen->SetCursor(horz && vert ? crzmTLFullScroll : (horz ? crzmTLHorScroll : crzmTLVerScroll));
  UINT_PTR timer = SetTimer(nullptr, 0, kPanInterval, nullptr);
  HWND wnd = GetHandle();
  SetCapture(wnd);
  TAliveToken alive = AliveToken();
  Integer direction = 0, speed = 1, ticks = 0;
  bool moved = false;
  TPoint last = start;
  const TCursor cursors[] = {crDefault, crzmTLLeftScroll, crzmTLUpScroll, crzmTLRightScroll, crzmTLDownScroll};
  auto step = [&] {
    switch (direction) {
      case 1: SetLeftCoord(FHorzOffset - FMetrics.HorzScrollStep); break;
      case 2: SetTopIndex(GetTopIndex() - 1); break;
      case 3: SetLeftCoord(FHorzOffset + FMetrics.HorzScrollStep); break;
      case 4: SetTopIndex(GetTopIndex() + 1); break;
      default: break;
    }
  };
  // The control may go while a dispatched message runs: the loop then only cleans up its own.
  while (alive && GetCapture() == wnd) {
    MSG msg;
    BOOL got = GetMessage(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_ESCAPE) break;
    if (IsMouseButtonMessage(msg.message) || (msg.message == WM_MOUSEWHEEL && moved)) break;
    if (msg.message == WM_TIMER && !msg.hwnd && msg.wParam == timer) {
      ++ticks;
      if (direction != 0 && ticks % (13 - speed) == 0) step();
      continue;
    }
    if (msg.message == WM_MOUSEMOVE) {
      TPoint p;
      GetCursorPos(&p);
      if (p == last) continue;
      last = p;
      PanningStep(Point(p.X - start.X, p.Y - start.Y), zmPanPictureSize, horz, vert, direction, speed);
      moved = moved || direction != 0;
      Screen->SetCursor(direction == 0 ? (horz && vert ? crzmTLFullScroll : (horz ? crzmTLHorScroll : crzmTLVerScroll))
                                       : cursors[direction]);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  if (alive && GetCapture() == wnd) ReleaseCapture();
  KillTimer(nullptr, timer);
  Screen->SetCursor(crDefault);
}
