// Shared resources of the tree list and its editor family, prepared when the units start and
// released when they end: cursors and indicator glyphs (drawn in code), scratch
// bitmaps, captions, the screen DC for measuring, and the locale's first day of the week.
//
// TzmTreeListUnits starts every unit of the tree list in order and ends them in reverse; starts
// and ends nest, so each holder of the scope may start them again.
#pragma once

#include "platform/forms/Controls.h"
#include "treelist/zmEditStyle.h"

class TCustomImageList;
class TBitmap;

// Cursors of the tree list, registered with the screen under these ids.
constexpr TCursor crzmTLDelete = -1124;
constexpr TCursor crzmTLFullScroll = -1131;
constexpr TCursor crzmTLHorScroll = -1132;
constexpr TCursor crzmTLVerScroll = -1133;
constexpr TCursor crzmTLUpScroll = -1134;
constexpr TCursor crzmTLRightScroll = -1135;
constexpr TCursor crzmTLDownScroll = -1136;
constexpr TCursor crzmTLLeftScroll = -1137;
constexpr TCursor crzmTLDragCopy = -1138;
constexpr TCursor crzmTLMultiDragCopy = -1139;

// The glyphs of IndicatorImages, by index.
enum TzmIndicatorGlyph : Integer { zigArrow, zigEdit, zigInsert, zigMultiDot, zigMultiArrow };

extern const TResourceString SzmCustomize;
extern const TResourceString SzmBandsCaption;
extern const TResourceString SzmHeadersCaption;
extern const TResourceString SzmToday;
extern const TResourceString SzmClear;

// Identifiers of the tree list's timers while they run; -1 otherwise.

// The tree list unit's resources (nullptr or empty outside its start and end).
TCustomImageList* IndicatorImages();
TBitmap* DragArrowBitmap();
TBitmap* ExpandPlusBitmap();
TBitmap* ExpandMinusBitmap();
HDC TreeListMeasureDC();
const String& CustomizeCaption();
const String& BandsCaption();
const String& HeadersCaption();
void zmTreeListUnitStart();
void zmTreeListUnitEnd();

// The date captions unit: "Today", "Clear" and the first day of the week, 0 = Sunday.
const String& TodayCaption();
const String& ClearCaption();
Integer FirstDayOfWeek();
// The locale's first day (0 = Monday ... 6 = Sunday) counted from Sunday.
Integer FirstDayFromLocale(Integer LocaleDay);
void zmDateCaptionsStart();
void zmDateCaptionsEnd();

// The style controller of check-style editors: no border, 3D buttons.
class TzmCheckEditStyleController : public TzmEditStyleController {
  QJ_CLASS(TzmCheckEditStyleController, TzmEditStyleController)
 public:
  explicit TzmCheckEditStyleController(TComponent* AOwner);
  void RestoreDefaults() override;
};

// Every unit of the tree list started for the scope's life.
class TzmTreeListUnits {
 public:
  TzmTreeListUnits();
  ~TzmTreeListUnits();
  TzmTreeListUnits(const TzmTreeListUnits&) = delete;
  TzmTreeListUnits& operator=(const TzmTreeListUnits&) = delete;
};
