// The push button drawn by the look-and-feel painters: face and border per state with optional
// per-state colours, a glyph of up to four images beside the caption, hot tracking, and two
// drop-down kinds that open a popup menu. Glyph images live in image lists shared by every
// button with glyphs of one size.
#pragma once

#include <vector>

#include "lookandfeel/qvControls.h"
#include "lookandfeel/qvLookAndFeels.h"
#include "lookandfeel/zmThemeManager.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"

class TqvCustomButton;

enum TqvButtonKind { qvbkStandard, qvbkDropDown, qvbkDropDownButton };
using TqvButtonAssignedColors = Cardinal;  // bit (1 << TqvButtonState)
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The face colour of each button state; clDefault lets the painter choose.
class TqvButtonColors : public TPersistent {
  QJ_CLASS(TqvButtonColors, TPersistent)
 public:
  explicit TqvButtonColors(TqvCustomButton* AButton);
  void Assign(TPersistent* Source) override;

  TColor GetColor(TqvButtonState AState) const { return FColors[AState]; }
  // clNone and clDefault reset the state's colour.
  void SetColor(TqvButtonState AState, TColor Value);
  TqvButtonAssignedColors GetAssignedColors() const { return FAssignedColors; }
  // Only while designing; at run time the set follows SetColor.
  void SetAssignedColors(TqvButtonAssignedColors Value);

 private:
  TqvCustomButton* FButton;
  TqvButtonAssignedColors FAssignedColors = 0;
  TColor FColors[5] = {clDefault, clDefault, clDefault, clDefault, clDefault};
};

// An image list whose freed slots are reused.
class TqvGlyphList : public TImageList {
  QJ_CLASS(TqvGlyphList, TImageList)
 public:
  TqvGlyphList(Integer AWidth, Integer AHeight);
  Integer AddMasked(TBitmap* Image, TColor MaskColor);
  // Marks the slot free; the image stays for the next AddMasked.
  void Delete(Integer Index);
  Integer GetUsedCount() const { return FUsedCount; }

 private:
  std::vector<bool> FUsed;
  Integer FUsedCount = 0;
};

// One glyph list per size, shared by every button glyph.
class TqvGlyphCache : public TObject {
  QJ_CLASS(TqvGlyphCache, TObject)
 public:
  ~TqvGlyphCache() override;
  TqvGlyphList* GetList(Integer AWidth, Integer AHeight);
  // A list nobody uses any more goes.
  void ReturnList(TqvGlyphList* AList);
  Integer GetListCount() const { return static_cast<Integer>(FLists.size()); }

 private:
  std::vector<TqvGlyphList*> FLists;
};

// The process's glyph cache, or nullptr while no glyph needs one.
TqvGlyphCache* GetGlyphCache();

// A strip of up to four glyph images (up, disabled, down, exclusive) and their layout with a
// caption.
class TqvButtonGlyph : public TObject {
  QJ_CLASS(TqvButtonGlyph, TObject)
 public:
  TqvButtonGlyph();
  ~TqvButtonGlyph() override;

  TBitmap* GetSourceBitmap() const { return FSourceBitmap.get(); }
  // NumGlyphs follows a strip whose width is a multiple of its height (1 above four images).
  void SetGlyph(TBitmap* Value);
  Integer GetNumGlyphs() const { return FNumGlyphs; }
  // Only 1 to 4 are taken.
  void SetNumGlyphs(Integer Value);
  bool IsEmpty() const { return FSourceBitmap->GetEmpty() || GlyphSize().cx == 0; }
  // The image slot of a state, built on first use; -1 without a glyph.
  Integer GetStateImageIndex(TqvButtonState AState);
  TqvGlyphList* GetGlyphList() const { return FGlyphList; }
  // Forgets every built image.
  void Invalidate();
  // Lays glyph and caption out in AClient and draws them.
  void Draw(TqvCanvas* ACanvas, const TRect& AClient, TPoint AOffset, const String& ACaption, TButtonLayout ALayout,
            Integer AMargin, Integer ASpacing, TqvButtonState AState, bool ARightToLeft);
  // The glyph's and the text's places for a layout (client coordinates).
  void ComputeLayout(TqvCanvas* ACanvas, const TRect& AClient, const String& ACaption, TButtonLayout ALayout,
                     Integer AMargin, Integer ASpacing, bool ARightToLeft, TPoint& AGlyphPos, TRect& ATextBounds);

  TNotifyEvent OnChange;

 private:
  enum TSlot { gsUp, gsDisabled, gsDown, gsExclusive };
  TSize GlyphSize() const;
  void HandleGlyphChange();
  Integer BuildImage(TSlot ASlot);
  void CopySourceImage(TBitmap* ADest, Integer AImage);

  TOwned<TBitmap> FSourceBitmap;
  TqvGlyphList* FGlyphList = nullptr;
  Integer FIndexes[4] = {-1, -1, -1, -1};
  Integer FNumGlyphs = 1;
};

using TqvButtonGetDrawParamsEvent =
    std::function<void(TqvCustomButton* Sender, TqvButtonState AState, TColor& AColor, TFont* AFont)>;

// The button. With UseSystemPaint, a standard kind, no glyph and the standard look (or the
// native one with themes) the platform draws it; otherwise the painters do.
class TqvCustomButton : public TButton, public IqvMouseTrackingCaller {
  QJ_CLASS(TqvCustomButton, TButton)
 public:
  // The width of the arrow part of a qvbkDropDownButton.
  static constexpr Integer ArrowPartWidth = 15;

  explicit TqvCustomButton(TComponent* AOwner);
  ~TqvCustomButton() override;

  TqvButtonColors* GetColors() const { return FColors.get(); }
  void SetColors(TqvButtonColors* Value) { FColors->Assign(Value); }
  TPopupMenu* GetDropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TPopupMenu* Value);
  TBitmap* GetGlyph() const { return FGlyph->GetSourceBitmap(); }
  // Any glyph ends system painting.
  void SetGlyph(TBitmap* Value);
  TqvButtonKind GetKind() const { return FKind; }
  void SetKind(TqvButtonKind Value);
  TButtonLayout GetLayout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  TqvLookAndFeel* GetLookAndFeel() const { return FLookAndFeel.get(); }
  void SetLookAndFeel(TqvLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
  Integer GetMargin() const { return FMargin; }
  // Values below -1 are ignored.
  void SetMargin(Integer Value);
  Integer GetNumGlyphs() const { return FGlyph->GetNumGlyphs(); }
  // Clamped to 1..4.
  void SetNumGlyphs(Integer Value);
  Integer GetSpacing() const { return FSpacing; }
  void SetSpacing(Integer Value);
  bool GetUseSystemPaint() const { return FUseSystemPaint; }
  void SetUseSystemPaint(bool Value);
  TqvButtonGlyph* GetButtonGlyph() const { return FGlyph.get(); }

  virtual TqvLookAndFeelPainterClass GetPainter() const;
  virtual bool IsSystemPainted() const;
  bool IsHotTrackActive() const;
  bool IsHot() const { return FHot; }
  bool IsMenuShown() const { return FMenuShown; }
  // The state the face is drawn in now.
  TqvButtonState GetDrawState();
  // Asks for the menu once the messages being handled now are done.
  void RequestDropDown();
  // The menu's height, for placing it above the button when it does not fit below.
  Integer GetMenuHeight() const;
  void Click() override;

  TqvButtonGetDrawParamsEvent OnGetDrawParams;

 protected:
  void MouseLeave() override;
  void Paint() override;
  void DrawButton();
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;

 private:
  bool InArrowPart(Integer X) const { return X >= GetWidth() - ArrowPartWidth; }
  void ShowDropDownMenu();
  void MenuClosed();
  void CMMouseEnter();
  void CMMouseLeave();
  void UpdateHotFromCursor();

  TOwned<TqvCanvas> FQVCanvas;
  TOwned<TqvButtonColors> FColors;
  bool FArrowPressed = false;
  TOwned<TzmThemeChangedNotificator> FThemeChangedNotificator;
  TPopupMenu* FDropDownMenu = nullptr;
  bool FClosingClick = false;
  TqvButtonKind FKind = qvbkStandard;
  TOwned<TqvLookAndFeel> FLookAndFeel;
  bool FUseSystemPaint = true;
  TOwned<TqvButtonGlyph> FGlyph;
  TButtonLayout FLayout = blGlyphLeft;
  Integer FMargin = -1;
  bool FMenuShown = false;
  bool FHot = false;
  Integer FSpacing = 4;
};

class TqvButton : public TqvCustomButton {
  QJ_CLASS(TqvButton, TqvCustomButton)
 public:
  using TqvCustomButton::TqvCustomButton;
};
