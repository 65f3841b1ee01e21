// The paint model of an editor's drop-down window: its frame, shadow, client edge and system
// panel (size grip and close button). The window fills the settings before each calculation;
// the layout and the drawing are the edit painting unit's (see qvEditPaintUtils.h), which also
// holds this class's operations.
#pragma once

#include "editors/qvEditPaintUtils.h"

class TqvCustomEditPopupWindowViewInfo : public TqvContainerViewInfo {
  QJ_CLASS(TqvCustomEditPopupWindowViewInfo, TqvContainerViewInfo)
 public:
  TqvCustomEditPopupWindowViewInfo() = default;

  // Lays out the client rectangle, the sizing band, the grip and the close button for the size
  // of Bounds (the window's own coordinates start at 0, 0).
  virtual void Calculate();
  // The frame inside R; R becomes the area inside it.
  virtual void DrawBorder(TqvCanvas* ACanvas, TRect& R);
  // The frame, client edge, shadow and system panel per side; also takes the system panel's
  // height and the sizing band's width.
  virtual void GetBorderExtent(TRect& R);
  // What surrounds the client rectangle: the border extent.
  virtual void GetClientExtent(TRect& R);
  // The system panel's height, raised to ReservedSysPanelHeight when that is positive.
  virtual Integer GetSysPanelHeight();
  // Whether a press at (X, Y) (the window's coordinates) resizes the window, and the directions
  // (-1, 0 or +1) of the edges it moves: only the two edges that meet at the grip's corner.
  virtual bool GetSizingDirection(Integer X, Integer Y, Integer& AHorz, Integer& AVert) const;

  // The frame kind (never epbsDefault once the editor has resolved it).
  TqvEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  bool ClientEdge = false;
  bool HasCloseButton = false;
  TRect CloseButtonRect;
  // The look of a close button that the theme does not paint.
  TqvLookAndFeelKind CloseButtonFrameKind = lfStandard;
  TqvButtonState CloseButtonState = qvbsNormal;
  Integer CloseButtonNativeState = 0;  // 0: not theme-painted
  Integer ReservedSysPanelHeight = 0;  // room an owner keeps in the panel for its own buttons
  bool Sizeable = false;
  TqvSizeGripCorner SizeGripCorner = sgcBottomRight;
  TRect SizeGripRect;
  TRect GripHitRect;
  TRect SizingInnerRect;  // presses inside it (and outside the grip) do not resize
  Integer SizingBandWidth = 0;
  Integer SysPanelHeight = 0;
  bool SysPanelStyle = false;

 protected:
  // Shadow, frame, client edge, system panel with grip and close button, and the client area.
  void Paint(TqvCanvas* ACanvas) override;
};

// The window shape of a drop-down window: its rectangle and shadow, without the part of the
// bottom shadow band that would lie over the owner editor (AOwnerBounds, in the window's
// coordinates; nullptr: none) when the window opened above it.
void SetPopupWindowRegion(const TqvCustomEditPopupWindowViewInfo* AViewInfo, HWND AWindowHandle,
                          const TRect* AOwnerBounds);
