// Drag feedback of the tree list: borderless, input-transparent popups over the screen (a sizing
// line, the drop arrows, the dragged header or band, the pan window). They never draw on other
// windows, so nothing has to be restored when they go.
#pragma once

#include <memory>

#include "platform/forms/Controls.h"
#include "platform/forms/Graphics.h"

class TzmTreeListFeedbackWindow : public TCustomControl {
  QJ_CLASS(TzmTreeListFeedbackWindow, TCustomControl)
 public:
  explicit TzmTreeListFeedbackWindow(TComponent* AOwner);
  ~TzmTreeListFeedbackWindow() override;

  // Shows a copy of Bitmap with its top-left corner at ScreenPos, shaped by Region when given
  // (the window takes the region; client coordinates).
  void ShowBitmap(TBitmap* Bitmap, TPoint ScreenPos, HRGN Region = nullptr);
  // Shows a plain rectangle (a sizing line) in Color.
  void ShowRect(const TRect& ScreenRect, TColor Color);
  // Moves the shown feedback.
  void MoveTo(TPoint ScreenPos);
  void HideFeedback();
  bool IsShown() const { return FShown; }
  TBitmap* GetBitmap() const { return FBitmap.get(); }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;

 private:
  void Place(const TRect& ScreenRect);

  TOwned<TBitmap> FBitmap;
  bool FShown = false;
};

// The drop arrows' picture: a down arrow at the top and an up arrow at the bottom of an
// 11 x Height box, outlined in black and filled with Color, with the region that shapes a window
// to them.
void PaintDropArrows(TBitmap* Bitmap, Integer Height, TColor Color = clLime);
HRGN DropArrowsRegion(Integer Height);

// The pan picture: a circle with an arrow for every way the view can move (its window is shaped
// by an ellipse of the picture's size).
constexpr Integer zmPanPictureSize = 32;
void PaintPanPicture(TBitmap* Bitmap, bool Horz, bool Vert);
