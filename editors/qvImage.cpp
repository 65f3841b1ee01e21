// The image editor: the graphic classes and bounded decoding, the value form, the menu glyphs,
// the properties, the paint model and the control (commands, context menu, scrolling).
#include "editors/qvImage.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "editors/qvEditPaintUtils.h"
#include "platform/forms/Clipbrd.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/Jpeg.h"
#include "platform/forms/Menus.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/Streams.h"

const TResourceString sqvImageMenuCut{62900, "Cu&t"};
const TResourceString sqvImageMenuCopy{62901, "&Copy"};
const TResourceString sqvImageMenuPaste{62902, "&Paste"};
const TResourceString sqvImageMenuDelete{62903, "&Delete"};
const TResourceString sqvImageMenuLoad{62904, "&Load..."};
const TResourceString sqvImageMenuSave{62905, "Save &As..."};
const TResourceString sqvImageCannotConvert{62906, "The picture cannot be stored as %s"};
const TResourceString sqvImageTooLarge{62907, "The picture is too large (%d x %d pixels)"};

QJ_IMPLEMENT_CLASS(TqvPopupMenuLayout)
QJ_IMPLEMENT_CLASS(TqvCustomImageProperties)
QJ_IMPLEMENT_CLASS(TqvImageProperties)
QJ_IMPLEMENT_CLASS(TqvImageViewInfo)
QJ_IMPLEMENT_CLASS(TqvImageViewData)
QJ_IMPLEMENT_CLASS(TqvCustomImage)
QJ_IMPLEMENT_CLASS(TqvImage)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryImageItem)

namespace {

const TqvEditKindRegistration ImageRegistration(&TqvImageProperties::StaticClass(), &sqvEditDisplayTextImage);

constexpr Integer kScrollLine = 8;
constexpr TPoint kKeyboardMenuPoint{10, 10};

// Reads a string's bytes in place; writing to it does nothing.
class TValueStream : public TCustomMemoryStream {
  QJ_INLINE_CLASS(TValueStream, TCustomMemoryStream)
 public:
  TValueStream(const String& AData, size_t AOffset) {
    SetPointer(const_cast<char*>(AData.data()) + AOffset, Int64(AData.size() - AOffset));
  }
};

uint32_t Le32At(const String& S, size_t At) {
  return uint32_t(uint8_t(S[At])) | uint32_t(uint8_t(S[At + 1])) << 8 | uint32_t(uint8_t(S[At + 2])) << 16 |
         uint32_t(uint8_t(S[At + 3])) << 24;
}

// Where the picture data of a value start: after the optional header 01 00 00 01 + length.
size_t PictureDataOffset(const String& S) {
  if (S.size() <= 7 || S[0] != 1 || S[1] != 0 || S[2] != 0 || S[3] != 1) return 0;
  return Le32At(S, 4) == S.size() - 8 ? 8 : 0;
}

[[noreturn]] void RaiseTooLarge(const TSize& ASize) {
  RaiseResourceError<EInvalidGraphic>(&sqvImageTooLarge, {ASize.cx, ASize.cy});
}

TGraphicClass EffectiveClass(TGraphicClass AClass) { return AClass ? AClass : &TBitmap::StaticClass(); }

bool IsGraphicEmpty(const TGraphic* AGraphic) { return !AGraphic || AGraphic->GetEmpty(); }

// ---------------------------------------------------------------------------------------------
// The menu glyphs: program resources drawn from pixel tables, '.' the transparent background.

constexpr Integer kGlyphSize = 16;
using TGlyphPicture = std::array<std::string_view, kGlyphSize>;

struct TGlyphResource {
  const char* Name;
  TGlyphPicture Rows;
};

const TGlyphResource kMenuGlyphs[] = {
    {"QVMENUIMAGE_CUT",
     {"................", "................", "...K.......K....", "...K.......K....", "...K.......K....",
      "....K.....K.....", "....K.....K.....", ".....K...K......", "......K.K.......", ".......K........",
      "......B.B.......", "..BBBB...BBBB...", ".B...B...B...B..", ".B...B...B...B..", ".B...B...B...B..",
      "..BBB.....BBB..."}},
    {"QVMENUIMAGE_COPY",
     {"................", ".KKKKKKKK.......", ".KWWWWWWK.......", ".KWKKKKWK.......", ".KWWWWWWK.......",
      ".KWKKKKKKKKKKKK.", ".KWWWKWWWWWWWWK.", ".KWKKKWKKKKKKWK.", ".KWWWKWWWWWWWWK.", ".KWKKKWKKKKKKWK.",
      ".KWWWKWWWWWWWWK.", ".KKKKKWKKKKKKWK.", ".....KWWWWWWWWK.", ".....KWKKKKKKWK.", ".....KWWWWWWWWK.",
      ".....KKKKKKKKKK."}},
    {"QVMENUIMAGE_PASTE",
     {"................", ".....KKKKK......", ".OOOKSSSSSKOOO..", ".OOOOKKKKKOOOO..", ".OOOOOOOOOOOOO..",
      ".OOOOOKKKKKKKKK.", ".OOOOOKWWWWWWWK.", ".OOOOOKWKKKKKWK.", ".OOOOOKWWWWWWWK.", ".OOOOOKWKKKKKWK.",
      ".OOOOOKWWWWWWWK.", ".OOOOOKWKKKKKWK.", ".OOOOOKWWWWWWWK.", ".OOOOOKWWWWWWWK.", "......KKKKKKKKK.",
      "................"}},
    {"QVMENUIMAGE_DELETE",
     {"................", "................", "..RR.......RR...", "...RR.....RR....", "....RR...RR.....",
      ".....RR.RR......", "......RRR.......", "......RRR.......", ".....RR.RR......", "....RR...RR.....",
      "...RR.....RR....", "..RR.......RR...", "................", "................", "................",
      "................"}},
    {"QVMENUIMAGE_LOAD",
     {"................", "................", "................", ".KKKK...........", "KYYYYKKKKKKK....",
      "KYYYYYYYYYYK....", "KYYYYYYYYYYK....", "KYYYKKKKKKKKKKK.", "KYYKYYYYYYYYYK..", "KYKYYYYYYYYYK...",
      "KKYYYYYYYYYK....", "KKKKKKKKKKK.....", "................", "................", "................",
      "................"}},
    {"QVMENUIMAGE_SAVE",
     {"................", ".BBBBBBBBBBBBB..", ".BBWWWWWWWWWBB..", ".BBWWWWWWWWWBB..", ".BBWWWWWWWWWBB..",
      ".BBWWWWWWWWWBB..", ".BBBBBBBBBBBBB..", ".BBBBBBBBBBBBB..", ".BBBSSSSSSSBBB..", ".BBBSSSSKSSBBB..",
      ".BBBSSSSKSSBBB..", ".BBBSSSSSSSBBB..", "..BBBBBBBBBBBB..", "................", "................",
      "................"}},
};

uint32_t GlyphPixel(char C) {
  switch (C) {
    case 'K': return 0x000000;
    case 'W': return 0xFFFFFF;
    case 'S': return 0xC0C0C0;
    case 'B': return 0x000080;
    case 'R': return 0xC00000;
    case 'Y': return 0xFFE060;
    case 'O': return 0xA06020;
    default: return 0xFF00FF;  // the background, taken as transparent
  }
}

HBITMAP MakeMenuGlyph(const TGlyphResource& AGlyph) {
  std::array<uint32_t, kGlyphSize * kGlyphSize> bits;
  for (Integer y = 0; y < kGlyphSize; ++y) {
    const std::string_view row = AGlyph.Rows[size_t(y)];
    for (Integer x = 0; x < kGlyphSize; ++x)
      bits[size_t(y * kGlyphSize + x)] = GlyphPixel(size_t(x) < row.size() ? row[size_t(x)] : '.');
  }
  return CreateBitmap(kGlyphSize, kGlyphSize, 1, 32, bits.data());
}

void RegisterMenuGlyphs() {
  for (const TGlyphResource& glyph : kMenuGlyphs)
    RegisterBitmapResource(glyph.Name, [&glyph] { return MakeMenuGlyph(glyph); });
}

TOwned<TCustomImageList>& MenuImages() {
  static TOwned<TCustomImageList> images;
  return images;
}

// The menu entries in menu order: the command of each, -1 for a separator.
constexpr Integer kSeparator = -1;
constexpr Integer kMenuLayout[] = {pmiCut, pmiCopy, pmiPaste, pmiDelete, kSeparator, pmiLoad, pmiSave, kSeparator,
                                   pmiCustom};
constexpr Integer kFirstSeparator = 4, kSecondSeparator = 7;

const TResourceString* MenuCaption(TqvPopupMenuItem AItem) {
  static const TResourceString* const captions[] = {&sqvImageMenuCut,    &sqvImageMenuCopy, &sqvImageMenuPaste,
                                                    &sqvImageMenuDelete, &sqvImageMenuLoad, &sqvImageMenuSave};
  return AItem < pmiCustom ? captions[AItem] : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Graphic classes, bounded decoding, values

TGraphicClass FindGraphicClass(const String& AName) {
  static const TGraphicClass classes[] = {&TBitmap::StaticClass(), &TIcon::StaticClass(),
                                          &TJPEGImage::StaticClass()};
  for (TGraphicClass cls : classes)
    if (SameText(AName, cls->ClassName())) return cls;
  return nullptr;
}

bool IsPictureSizeAcceptable(const TSize& ASize) {
  return ASize.cx >= 0 && ASize.cy >= 0 && ASize.cx <= qvMaxPictureSide && ASize.cy <= qvMaxPictureSide &&
         Int64(ASize.cx) * ASize.cy <= qvMaxPicturePixels;
}

namespace {

TOwned<TGraphic> DecodeGraphicAt(const String& AData, size_t AOffset, TGraphicClass AClass) {
  const size_t size = AData.size() - AOffset;
  if (Int64(size) > qvMaxPictureDataSize) throw EInvalidGraphic(&SInvalidImage);
  TSize pixels;
  if (!ReadGraphicSize(reinterpret_cast<const uint8_t*>(AData.data()) + AOffset, size, pixels))
    throw EInvalidGraphic(&SInvalidImage);
  if (!IsPictureSizeAcceptable(pixels)) RaiseTooLarge(pixels);
  TOwned<TGraphic> graphic(EffectiveClass(AClass)->Create());
  TValueStream stream(AData, AOffset);
  graphic->LoadFromStream(&stream);
  return graphic;
}

}  // namespace

TOwned<TGraphic> DecodeGraphic(const String& AData, TGraphicClass AClass) { return DecodeGraphicAt(AData, 0, AClass); }

TOwned<TGraphic> ConvertGraphic(TGraphic* AGraphic, TGraphicClass AClass) {
  const TGraphicClass target = EffectiveClass(AClass);
  auto* source = static_cast<TGraphicClass>(AGraphic->ClassType());
  if (source->InheritsFrom(target)) {
    TOwned<TGraphic> copy(source->Create());
    copy->Assign(AGraphic);
    return copy;
  }
  if (target->InheritsFrom(&TBitmap::StaticClass())) {
    TOwned<TGraphic> bitmap(target->Create());
    bitmap->Assign(AGraphic);
    return bitmap;
  }
  if (target->InheritsFrom(&TJPEGImage::StaticClass())) {
    TBitmap bitmap;
    bitmap.Assign(AGraphic);
    TOwned<TGraphic> jpeg(target->Create());
    jpeg->Assign(&bitmap);
    static_cast<TJPEGImage*>(jpeg.get())->Compress();
    return jpeg;
  }
  RaiseResourceError<EInvalidGraphic>(&sqvImageCannotConvert, {target->ClassName()});
}

void LoadPictureFromValue(TPicture* APicture, const Variant& AValue, TGraphicClass AGraphicClass) {
  if (!VarIsStr(AValue)) {
    APicture->SetGraphic(nullptr);
    return;
  }
  const String data = VarToStr(AValue);
  const size_t offset = PictureDataOffset(data);
  if (offset >= data.size()) {
    APicture->SetGraphic(nullptr);
    return;
  }
  TOwned<TGraphic> graphic;
  try {
    graphic = DecodeGraphicAt(data, offset, AGraphicClass);
  } catch (const Exception&) {
  } catch (const std::bad_alloc&) {
  }
  APicture->SetGraphic(graphic.get());
}

Variant PictureToValue(TPicture* APicture) {
  TGraphic* graphic = APicture->GetGraphic();
  if (IsGraphicEmpty(graphic)) return Null();
  TStringStream stream;
  graphic->SaveToStream(&stream);
  if (stream.GetDataString().empty()) return Null();
  return stream.GetDataString();
}

TCustomImageList* GetImageMenuImages() {
  TOwned<TCustomImageList>& images = MenuImages();
  if (images) return images.get();
  static const bool registered = (RegisterMenuGlyphs(), true);
  (void)registered;
  TBitmap first;
  first.LoadFromResourceName(nullptr, kMenuGlyphs[0].Name);
  images.reset(New<TImageList>(nullptr, first.GetWidth(), first.GetHeight()));
  for (const TGlyphResource& glyph : kMenuGlyphs) {
    TBitmap bitmap;
    bitmap.LoadFromResourceName(nullptr, glyph.Name);
    images->AddMasked(&bitmap, bitmap.GetCanvas()->GetPixel(0, bitmap.GetHeight() - 1));
  }
  return images.get();
}

// ---------------------------------------------------------------------------------------------
// TqvPopupMenuLayout

TqvPopupMenuLayout::~TqvPopupMenuLayout() { FCustomMenuItemGlyph.reset(); }

TPersistent* TqvPopupMenuLayout::GetOwner() { return FProperties; }

void TqvPopupMenuLayout::Changed() {
  if (FProperties) FProperties->Changed();
}

void TqvPopupMenuLayout::Assign(TPersistent* Source) {
  auto* source = As<TqvPopupMenuLayout>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  FMenuItems = source->FMenuItems;
  FCustomMenuItemCaption = source->FCustomMenuItemCaption;
  SetCustomMenuItemGlyph(source->FCustomMenuItemGlyph.get());
}

void TqvPopupMenuLayout::SetMenuItems(TqvPopupMenuItems Value) {
  if (FMenuItems == Value) return;
  FMenuItems = Value;
  Changed();
}

void TqvPopupMenuLayout::SetCustomMenuItemCaption(const String& Value) {
  if (FCustomMenuItemCaption == Value) return;
  FCustomMenuItemCaption = Value;
  Changed();
}

TBitmap* TqvPopupMenuLayout::GetCustomMenuItemGlyph() {
  if (!FCustomMenuItemGlyph) {
    FCustomMenuItemGlyph = MakeOwned<TBitmap>();
    FCustomMenuItemGlyph->OnChange = [this](TObject*) { Changed(); };
  }
  return FCustomMenuItemGlyph.get();
}

void TqvPopupMenuLayout::SetCustomMenuItemGlyph(TBitmap* Value) {
  if (!Value) {
    if (!FCustomMenuItemGlyph) return;
    FCustomMenuItemGlyph.reset();
  } else if (Value != FCustomMenuItemGlyph.get()) {
    GetCustomMenuItemGlyph()->Assign(Value);
  }
  Changed();
}

// ---------------------------------------------------------------------------------------------
// TqvCustomImageProperties

TqvCustomImageProperties::TqvCustomImageProperties(TPersistent* AOwner)
    : TqvCustomEditProperties(AOwner), FPopupMenuLayout(MakeOwned<TqvPopupMenuLayout>(this)) {
  if (!IsOwnedByEdit()) {
    FGraphicClassName = "TBitmap";
    FGraphicClass = &TBitmap::StaticClass();
  }
}

TqvCustomImageProperties::~TqvCustomImageProperties() { FPopupMenuLayout.reset(); }

TqvCustomEditViewDataClass TqvCustomImageProperties::ViewDataClass() { return &TqvImageViewData::StaticClass(); }
TqvCustomEditViewInfoClass TqvCustomImageProperties::ViewInfoClass() { return &TqvImageViewInfo::StaticClass(); }
TqvCustomEditClass TqvCustomImageProperties::ContainerClass() { return &TqvCustomImage::StaticClass(); }

bool TqvCustomImageProperties::IsOwnedByEdit() const {
  return As<TqvCustomEdit>(const_cast<TqvCustomImageProperties*>(this)->GetOwner()) != nullptr;
}

void TqvCustomImageProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomImageProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetCaption(source->FCaption);
  SetCenter(source->FCenter);
  SetCustomFilter(source->FCustomFilter);
  FGraphicClassName = source->FGraphicClassName;
  SetGraphicClass(source->FGraphicClass);
  SetGraphicTransparency(source->FGraphicTransparency);
  FPopupMenuLayout->Assign(source->FPopupMenuLayout.get());
  SetStretch(source->FStretch);
  OnAssignPicture = source->OnAssignPicture;
  OnCustomClick = source->OnCustomClick;
}

String TqvCustomImageProperties::GetDisplayText(const Variant& AEditValue, bool) {
  return VarIsNull(AEditValue) ? String() : FCaption;
}

TqvEditSupportedOperations TqvCustomImageProperties::GetSupportedOperations() const {
  return inherited::GetSupportedOperations() | esoAutoHeight;
}

void TqvCustomImageProperties::ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                    TObject* AEdit) {
  inherited::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
  auto* image = As<TqvCustomImage>(AEdit);
  if (image && OnAssignPicture) OnAssignPicture(AEdit, image->GetPicture());
}

void TqvCustomImageProperties::SetCaption(const String& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  Changed();
}

void TqvCustomImageProperties::SetCenter(bool Value) {
  if (FCenter == Value) return;
  FCenter = Value;
  Changed();
}

void TqvCustomImageProperties::SetCustomFilter(const String& Value) {
  if (FCustomFilter == Value) return;
  FCustomFilter = Value;
  Changed();
}

void TqvCustomImageProperties::SetGraphicClass(TGraphicClass Value) {
  if (FGraphicClass == Value) return;
  FGraphicClass = Value;
  Changed();
}

String TqvCustomImageProperties::GetGraphicClassName() const {
  auto* owner = As<TComponent>(const_cast<TqvCustomImageProperties*>(this)->GetOwner());
  if (!FGraphicClass || (owner && owner->HasState(csDesigning))) return FGraphicClassName;
  return FGraphicClass->ClassName();
}

void TqvCustomImageProperties::SetGraphicClassName(const String& Value) {
  if (FGraphicClassName == Value) return;
  FGraphicClassName = Value;
  FGraphicClass = FindGraphicClass(Value);
  Changed();
}

bool TqvCustomImageProperties::IsGraphicClassNameStored() const {
  const String name = GetGraphicClassName();
  return IsOwnedByEdit() ? !name.empty() : !SameText(name, "TBitmap");
}

void TqvCustomImageProperties::SetGraphicTransparency(TqvImageTransparency Value) {
  if (FGraphicTransparency == Value) return;
  FGraphicTransparency = Value;
  Changed();
}

void TqvCustomImageProperties::SetStretch(bool Value) {
  if (FStretch == Value) return;
  FStretch = Value;
  Changed();
}

void TqvCustomImageProperties::SetShowFocusRect(bool Value) {
  if (FShowFocusRect == Value) return;
  FShowFocusRect = Value;
  Changed();
}

// ---------------------------------------------------------------------------------------------
// TqvImageViewInfo

TqvImageViewInfo::~TqvImageViewInfo() {
  FBackground.reset();
  FOwnPicture.reset();
}

void TqvImageViewInfo::Assign(TObject* Source) {
  if (auto* source = As<TqvImageViewInfo>(Source)) {
    FPicture = source->FPicture == source->FOwnPicture.get() ? nullptr : source->FPicture;
    ContentRect = source->ContentRect;
    Caption = source->Caption;
    Center = source->Center;
    Stretch = source->Stretch;
    ShowFocusRect = source->ShowFocusRect;
    Font = source->Font;
    ScrollPos = source->ScrollPos;
  }
  inherited::Assign(Source);
}

void TqvImageViewInfo::SetPicture(TPicture* APicture) {
  if (FPicture != APicture) FBackground.reset();
  FPicture = APicture;
}

TPicture* TqvImageViewInfo::GetOwnPicture() {
  if (!FOwnPicture) FOwnPicture = MakeOwned<TPicture>();
  FBackground.reset();
  FPicture = FOwnPicture.get();
  return FPicture;
}

TRect TqvImageViewInfo::GetDestination(const TRect& AContent) const {
  const Integer w = FPicture ? FPicture->GetWidth() : 0, h = FPicture ? FPicture->GetHeight() : 0;
  const Integer cw = AContent.Width(), ch = AContent.Height();
  TRect d;
  if (Stretch && w > 0 && h > 0) {
    // The largest rectangle of the picture's proportions: full height when the area is
    // relatively wider than the picture, else full width.
    const bool wider = Int64(cw) * h > Int64(ch) * w;
    const Integer dw = wider ? Integer(Int64(w) * ch / h) : cw;
    const Integer dh = wider ? ch : Integer(Int64(h) * cw / w);
    d = ::Bounds(AContent.Left, AContent.Top, dw, dh);
    if (Center) d = qvOffsetRect(d, (cw - dw) / 2, (ch - dh) / 2);
    return d;
  }
  d = ::Bounds(AContent.Left, AContent.Top, w, h);
  if (Center) return qvOffsetRect(d, (cw - w) / 2, (ch - h) / 2);
  return qvOffsetRect(d, -ScrollPos.X, -ScrollPos.Y);
}

void TqvImageViewInfo::Paint(TqvCanvas* ACanvas) {
  TRect r = ContentRect;
  const bool empty = !FPicture || IsGraphicEmpty(FPicture->GetGraphic());
  HDC dc = ACanvas->GetHandle();
  if (empty) {
    DrawEditViewInfo(ACanvas, this);
    if (!Caption.empty()) {
      if (Font) ACanvas->SetFont(Font);
      ACanvas->GetFont()->SetColor(TextColor);
      ACanvas->GetBrush()->SetStyle(bsClear);
      ACanvas->DrawText(Caption, r, tfHCenter | tfVCenter | tfSingleLine, Enabled);
      ACanvas->GetBrush()->SetStyle(bsSolid);
    }
    if (ShowFocusRect) ACanvas->FrameRect(r, clBlack);
    return;
  }
  {
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    DrawEditViewInfo(ACanvas, this);
    RestoreDC(dc, saved);
  }
  if (ShowFocusRect) {
    ACanvas->FrameRect(r, clBlack);
    r = qvDeflatedRect(r, 1);
  }
  PaintPicture(ACanvas, r);
}

void TqvImageViewInfo::PaintPicture(TqvCanvas* ACanvas, TRect R) {
  if (R.IsEmpty()) return;
  TGraphic* graphic = FPicture->GetGraphic();
  const TRect d = GetDestination(R);
  HDC dc = ACanvas->GetHandle();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, R.Left, R.Top, R.Right, R.Bottom);
  if (!Transparent) {
    // The part of R the picture leaves.
    ACanvas->SetBrushColor(BackgroundColor);
    const int inner = SaveDC(dc);
    ExcludeClipRect(dc, d.Left, d.Top, d.Right, d.Bottom);
    ACanvas->FillRect(R);
    RestoreDC(dc, inner);
  }
  TGraphic* drawn = graphic;
  if (graphic->GetTransparent() && !Transparent) {
    // Blended over the background once, then drawn like an opaque picture.
    if (!FBackground || FBackground->GetWidth() != graphic->GetWidth() ||
        FBackground->GetHeight() != graphic->GetHeight()) {
      FBackground = MakeOwned<TBitmap>();
      FBackground->SetSize(graphic->GetWidth(), graphic->GetHeight());
    }
    TCanvas* canvas = FBackground->GetCanvas();
    canvas->GetBrush()->SetColor(BackgroundColor);
    canvas->FillRect(Rect(0, 0, graphic->GetWidth(), graphic->GetHeight()));
    canvas->Draw(0, 0, graphic);
    drawn = FBackground.get();
  }
  ACanvas->GetCanvas()->StretchDraw(d, drawn);
  RestoreDC(dc, saved);
}

// ---------------------------------------------------------------------------------------------
// TqvImageViewData

void TqvImageViewData::Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                                 TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* v = static_cast<TqvImageViewInfo*>(AViewInfo);
  TqvCustomImageProperties* properties = GetProperties();
  v->Caption = properties->GetCaption();
  v->Center = properties->GetCenter();
  v->Stretch = properties->GetStretch();
  v->Font = Style->GetFont();
  v->ShowFocusRect = properties->GetShowFocusRect() && Focused && !IsInplace;
  v->ScrollPos = v->Center || v->Stretch ? TPoint{} : ScrollPos;
  TRect content = v->ClientRect;
  if (HScrollBar) content.Bottom -= HScrollBar->GetHeight();
  if (VScrollBar) content.Right -= VScrollBar->GetWidth();
  v->ContentRect = content;
  if (EditPicture) v->SetPicture(EditPicture);
}

void TqvImageViewData::EditValueToViewInfo(TqvCanvas*, const Variant& AEditValue, TqvCustomEditViewInfo* AViewInfo) {
  auto* v = static_cast<TqvImageViewInfo*>(AViewInfo);
  TqvCustomImageProperties* properties = GetProperties();
  TPicture* picture = v->GetOwnPicture();
  if ((IsDesigning && !properties->GetGraphicClass()) || !VarIsStr(AEditValue))
    picture->SetGraphic(nullptr);
  else
    LoadPictureFromValue(picture, AEditValue, properties->GetGraphicClass());
  if (TGraphic* graphic = picture->GetGraphic(); graphic && properties->GetGraphicTransparency() != gtDefault)
    graphic->SetTransparent(properties->GetGraphicTransparency() == gtTransparent);
}

TSize TqvImageViewData::GetEditContentSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                                           const TqvEditSizeProperties& AEditSizeProperties) {
  if (!IsInplace) {
    TPicture* picture = EditPicture;
    if (!picture)
      if (auto* image = As<TqvCustomImage>(Style->GetContainer())) picture = image->GetPicture();
    return picture ? TSize{picture->GetWidth(), picture->GetHeight()} : TSize{0, 0};
  }
  TqvCustomImageProperties* properties = GetProperties();
  TPicture picture;
  LoadPictureFromValue(&picture, AEditValue, properties->GetGraphicClass());
  if (IsGraphicEmpty(picture.GetGraphic())) {
    if (properties->GetCaption().empty()) return {0, properties->GetDefaultHeight()};
    if (TFont* font = Style->GetFont()) ACanvas->SetFont(font);
    return ACanvas->TextExtent(properties->GetCaption());
  }
  const Integer w = picture.GetWidth(), h = picture.GetHeight();
  const Integer width = AEditSizeProperties.Width;
  if (properties->GetStretch() && width > 0 && w > 0) return {width, Integer(Round(double(h) * width / w))};
  return {w, h};
}

// ---------------------------------------------------------------------------------------------
// TqvCustomImage

TqvCustomImage::TqvCustomImage(TComponent* AOwner, bool AIsInplace)
    : TqvCustomEdit(AOwner, AIsInplace), FPicture(MakeOwned<TPicture>()) {
  FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
}

TqvCustomImage::~TqvCustomImage() {
  if (FPicture) FPicture->OnChange = nullptr;
  if (GetViewInfo()) GetViewInfo()->SetPicture(nullptr);
  FPicture.reset();
}

TqvCustomEditPropertiesClass TqvCustomImage::PropertiesClass() { return &TqvCustomImageProperties::StaticClass(); }
TqvCustomEditPropertiesClass TqvImage::PropertiesClass() { return &TqvImageProperties::StaticClass(); }

void TqvCustomImage::AfterConstruction() {
  inherited::AfterConstruction();
  SetAutoSize(false);
  SetBounds(GetLeft(), GetTop(), 140, 100);
}

void TqvCustomImage::SetPicture(TPicture* Value) { FPicture->Assign(Value); }

Variant TqvCustomImage::GetEditValue() { return PictureToValue(FPicture.get()); }

TGraphicClass TqvCustomImage::GetGraphicClass() {
  TqvCustomImageProperties* properties = GetProperties();
  if (properties->GetGraphicClass()) return properties->GetGraphicClass();
  return FindGraphicClass(properties->GetGraphicClassName());
}

UINT TqvCustomImage::GetClipboardFormat() const { return CF_PICTURE; }

bool TqvCustomImage::IsEditFocused() { return inherited::IsEditFocused() || FDialogOpen; }

bool TqvCustomImage::CanModifyPicture() { return CanModify(); }

template <class F>
void TqvCustomImage::RunCommand(F ACommand) {
  TValueScope userCommand(FUserCommand, true, AliveToken());
  ACommand();
}

void TqvCustomImage::InternalSetEditValue(const Variant& Value, bool) {
  if (IsUserChange() && !DoEditing()) return;
  TAliveToken alive = AliveToken();
  {
    TValueScope setting(FInternalEditValueSetting, true, alive);
    LoadPictureFromValue(FPicture.get(), Value, GetGraphicClass());
  }
  if (!alive) return;
  if (IsUserChange()) {
    SetModifiedAfterEnter(true);
    DoChange();
  } else {
    SetEditModified(false);
  }
}

void TqvCustomImage::PictureChanged(TObject*) {
  if (FPictureChanging) return;
  TAliveToken alive = AliveToken();
  TqvCustomImageProperties* properties = GetProperties();
  {
    TChangeEventsScope locked(this);
    TGraphic* graphic = FPicture->GetGraphic();
    if (graphic && properties->GetGraphicTransparency() != gtDefault) {
      TValueScope changing(FPictureChanging, true, alive);
      graphic->SetTransparent(properties->GetGraphicTransparency() == gtTransparent);
    }
    if (!alive) return;
    if (!HasState(csLoading)) {
      FScrollPos = TPoint{};
      SetInnerControlBounds();
      UpdateScrollBars();
      if (!alive) return;
      ShortRefreshContainer(false);
    }
    if (!FInternalEditValueSetting) {
      if (FUserCommand) SetModifiedAfterEnter(true);
      DoChange();
      if (!alive) return;
      Invalidate();
    }
  }
  if (alive && !FInternalEditValueSetting && properties->GetImmediatePost() && CanPostEditValue() &&
      ValidateEdit(true) && alive)
    PostEditValue();
}

void TqvCustomImage::AcceptGraphic(TGraphic* AGraphic) {
  const TSize size{AGraphic->GetWidth(), AGraphic->GetHeight()};
  if (!IsPictureSizeAcceptable(size)) RaiseTooLarge(size);
  TOwned<TGraphic> graphic = ConvertGraphic(AGraphic, GetGraphicClass());
  FPicture->SetGraphic(graphic.get());
}

// ---------------------------------------------------------------------------------------------
// Commands

void TqvCustomImage::CopyToClipboard() {
  if (!IsGraphicEmpty(FPicture->GetGraphic())) Clipboard()->Assign(FPicture.get());
}

void TqvCustomImage::CutToClipboard() {
  RunCommand([this] {
    TAliveToken alive = AliveToken();
    CopyToClipboard();
    if (alive) Clear();
  });
}

void TqvCustomImage::Clear() {
  RunCommand([this] {
    if (DoEditing()) FPicture->SetGraphic(nullptr);
  });
}

void TqvCustomImage::PasteFromClipboard() {
  RunCommand([this] {
    TClipboard* clipboard = Clipboard();
    if (!clipboard->HasFormat(CF_PICTURE) || !DoEditing()) return;
    // The clipboard's pictures are bitmaps; a JPEG class compresses it, an icon class refuses it.
    TBitmap bitmap;
    bitmap.Assign(clipboard);
    AcceptGraphic(&bitmap);
  });
}

void TqvCustomImage::LoadFromFile() {
  if (!CanModifyPicture()) return;
  TAliveToken alive = AliveToken();
  TOwned<TOpenDialog> dialog(New<TOpenDialog>(nullptr));
  const String& custom = GetProperties()->GetCustomFilter();
  dialog->SetFilter(!custom.empty() ? custom : GraphicFilter(GetGraphicClass()));
  bool chosen;
  {
    TValueScope open(FDialogOpen, true, alive);
    chosen = dialog->Execute();
  }
  if (!alive || !chosen || !DoEditing() || !alive) return;
  const String fileName = dialog->GetFileName();
  RunCommand([&] {
    TGraphicClass cls = TPicture::GraphicClassOfFile(fileName);
    if (!cls) throw EInvalidGraphic(&SUnknownExtension, {ExtractFileExt(fileName)});
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    const Int64 size = file.GetSize();
    if (size > qvMaxPictureDataSize) throw EInvalidGraphic(&SInvalidImage);
    String data(size_t(size), '\0');
    if (size > 0) file.ReadBuffer(data.data(), Integer(size));
    TOwned<TGraphic> graphic = DecodeGraphic(data, cls);
    AcceptGraphic(graphic.get());
  });
}

void TqvCustomImage::SaveToFile() {
  TGraphic* graphic = FPicture->GetGraphic();
  if (IsGraphicEmpty(graphic)) return;
  auto* cls = static_cast<TGraphicClass>(graphic->ClassType());
  TAliveToken alive = AliveToken();
  TOwned<TSaveDialog> dialog(New<TSaveDialog>(nullptr));
  const String& custom = GetProperties()->GetCustomFilter();
  dialog->SetFilter(!custom.empty() ? custom : GraphicFilter(cls));
  dialog->SetDefaultExt(GraphicExtension(cls));
  bool chosen;
  {
    TValueScope open(FDialogOpen, true, alive);
    chosen = dialog->Execute();
  }
  if (alive && chosen) FPicture->SaveToFile(dialog->GetFileName());
}

void TqvCustomImage::CustomClick() {
  if (GetProperties()->OnCustomClick) GetProperties()->OnCustomClick(this);
}

void TqvCustomImage::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::DoEditKeyDown(Key, Shift);
  if (!alive || Key == 0) return;
  const TShiftState modifiers = Shift & (ssShift | ssCtrl | ssAlt);
  const bool ctrl = modifiers == ssCtrl, shift = modifiers == ssShift;
  if ((ctrl && Key == 'C') || (ctrl && Key == VK_INSERT)) {
    Key = 0;
    CopyToClipboard();
  } else if ((ctrl && Key == 'V') || (shift && Key == VK_INSERT)) {
    Key = 0;
    PasteFromClipboard();
  } else if ((ctrl && Key == 'X') || (shift && Key == VK_DELETE)) {
    Key = 0;
    CutToClipboard();
  }
}

// ---------------------------------------------------------------------------------------------
// Context menu

void TqvCustomImage::BuildImageMenu() {
  if (FImageMenu) return;
  FImageMenu = New<TPopupMenu>(this);
  FImageMenu->SetImages(GetImageMenuImages());
  Integer imageIndex = 0;
  for (Integer command : kMenuLayout) {
    TMenuItem* item = command == kSeparator ? NewLine()
                                            : NewItem("", 0, false, true, [this](TObject* S) { MenuItemClick(S); });
    item->SetTag(command);
    if (command != kSeparator && command != pmiCustom) item->SetImageIndex(imageIndex++);
    FImageMenu->GetItems()->Add(item);
  }
}

void TqvCustomImage::UpdateImageMenu() {
  BuildImageMenu();
  TqvPopupMenuLayout* layout = GetProperties()->GetPopupMenuLayout();
  const TqvPopupMenuItems items = layout->GetMenuItems();
  const bool canModify = CanModifyPicture();
  const bool empty = IsGraphicEmpty(FPicture->GetGraphic());
  const TGraphicClass cls = GetGraphicClass();
  const bool isIcon = cls && cls->InheritsFrom(&TIcon::StaticClass());
  bool canPaste = false;
  if (!isIcon && canModify) {
    const bool bitmapClass = cls && (cls->InheritsFrom(&TBitmap::StaticClass()) ||
                                     cls->InheritsFrom(&TJPEGImage::StaticClass()));
    canPaste = Clipboard()->HasFormat(cls ? (bitmapClass ? CF_BITMAP : CF_METAFILEPICT) : CF_PICTURE);
  }
  const bool enabled[] = {canModify && !empty && !isIcon, !empty && !isIcon, canPaste, canModify && !empty,
                          canModify,                       !empty,            true};
  TMenuItem* root = FImageMenu->GetItems();
  for (Integer i = 0; i < root->GetCount(); ++i) {
    TMenuItem* item = root->GetItem(i);
    const Integer command = kMenuLayout[i];
    if (i == kFirstSeparator) {
      item->SetVisible((items & (pmiBit(pmiLoad) | pmiBit(pmiSave))) != 0);
      continue;
    }
    if (i == kSecondSeparator) {
      item->SetVisible((items & pmiBit(pmiCustom)) != 0);
      continue;
    }
    const auto menuItem = TqvPopupMenuItem(command);
    if (const TResourceString* caption = MenuCaption(menuItem))
      item->SetCaption(GetLocalizedResourceString(caption));
    else
      item->SetCaption(layout->GetCustomMenuItemCaption());
    if (menuItem == pmiCustom) {
      TBitmap* glyph = layout->FindCustomMenuItemGlyph();
      if (glyph && !glyph->GetEmpty()) {
        TBitmap copy;
        copy.Assign(glyph);
        copy.SetTransparent(true);
        item->SetBitmap(&copy);
      } else {
        item->SetBitmap(nullptr);
      }
    }
    item->SetVisible((items & pmiBit(menuItem)) != 0);
    item->SetEnabled(enabled[menuItem]);
  }
}

void TqvCustomImage::ShowImageMenu(TPoint AScreenPoint) {
  UpdateImageMenu();
  FImageMenu->SetPopupComponent(this);
  FImageMenu->Popup(AScreenPoint.X, AScreenPoint.Y);
}

void TqvCustomImage::MenuItemClick(TObject* Sender) {
  switch (static_cast<TMenuItem*>(Sender)->GetTag()) {
    case pmiCut: CutToClipboard(); break;
    case pmiCopy: CopyToClipboard(); break;
    case pmiPaste: PasteFromClipboard(); break;
    case pmiDelete: Clear(); break;
    case pmiLoad: LoadFromFile(); break;
    case pmiSave: SaveToFile(); break;
    case pmiCustom: CustomClick(); break;
    default: break;
  }
}

void TqvCustomImage::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_CONTEXTMENU && !TqvContainer::GetPopupMenu() &&
      GetProperties()->GetPopupMenuLayout()->GetMenuItems() != 0) {
    const bool atKeyboard = Message.LParam == -1;
    const TPoint at = atKeyboard ? ClientToScreen(kKeyboardMenuPoint)
                                 : TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    ShowImageMenu(at);
    Message.Result = 1;
    return;
  }
  inherited::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// Layout and scrolling

void TqvCustomImage::InitializeViewData(TqvCustomEditViewData* AViewData) {
  inherited::InitializeViewData(AViewData);
  auto* viewData = static_cast<TqvImageViewData*>(AViewData);
  viewData->EditPicture = FPicture.get();
  viewData->ScrollPos = FScrollPos;
}

bool TqvCustomImage::CanAutoSize() {
  return !(IsDesigning() && IsGraphicEmpty(FPicture->GetGraphic()));
}

TqvEditSizeProperties TqvCustomImage::GetAutoSizeConstraints() { return TqvEditSizeProperties{}; }

void TqvCustomImage::PropertiesChanged(TObject* Sender) {
  TAliveToken alive = AliveToken();
  inherited::PropertiesChanged(Sender);
  if (alive) UpdateScrollBars();
}

bool TqvCustomImage::IsScrollable() {
  TqvCustomImageProperties* properties = GetProperties();
  return !IsInplace() && !properties->GetCenter() && !properties->GetStretch() && !GetAutoSize() &&
         !IsGraphicEmpty(FPicture->GetGraphic());
}

void TqvCustomImage::UpdateScrollBars() {
  TAliveToken alive = AliveToken();
  // The client area of the current bounds: the view info may still hold the previous ones.
  CalculateViewInfoAtCursor();
  TqvControl::UpdateScrollBars();
  if (!alive) return;
  // The bars are placed now: the page is final.
  const TSize limit = ScrollLimit();
  FScrollPos = {std::clamp(FScrollPos.X, 0, limit.cx), std::clamp(FScrollPos.Y, 0, limit.cy)};
}

TSize TqvCustomImage::ScrollLimit() {
  if (!IsScrollable()) return {0, 0};
  const TRect client = GetClientBounds();
  return {std::max(0, FPicture->GetWidth() - std::max(0, client.Width())),
          std::max(0, FPicture->GetHeight() - std::max(0, client.Height()))};
}

TRect TqvCustomImage::GetClientBounds() {
  TRect r = GetViewInfo() ? GetViewInfo()->ClientRect : TRect{};
  if (IsHScrollBarVisible()) r.Bottom -= GetHScrollBar()->GetHeight();
  if (IsVScrollBarVisible()) r.Right -= GetVScrollBar()->GetWidth();
  return r;
}

void TqvCustomImage::InitScrollBarsParameters() {
  if (!IsScrollable()) {
    SetScrollBarInfo(sbHorizontal, 0, -1, 1, 1, 0, false, true);
    SetScrollBarInfo(sbVertical, 0, -1, 1, 1, 0, false, true);
    return;
  }
  // Called for trial layouts too: the position is limited here only for the bars.
  const TRect client = GetClientBounds();
  const TSize limit = ScrollLimit();
  SetScrollBarInfo(sbHorizontal, 0, FPicture->GetWidth() - 1, kScrollLine, std::max(0, client.Width()),
                   std::clamp(FScrollPos.X, 0, limit.cx), true, true);
  SetScrollBarInfo(sbVertical, 0, FPicture->GetHeight() - 1, kScrollLine, std::max(0, client.Height()),
                   std::clamp(FScrollPos.Y, 0, limit.cy), true, true);
}

void TqvCustomImage::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  if (!IsScrollable()) return;
  const bool horizontal = AScrollBarKind == sbHorizontal;
  const TRect client = GetClientBounds();
  const Integer page = std::max(0, horizontal ? client.Width() : client.Height());
  const Integer limit = horizontal ? ScrollLimit().cx : ScrollLimit().cy;
  Integer& pos = horizontal ? FScrollPos.X : FScrollPos.Y;
  Integer next = pos;
  switch (AScrollCode) {
    case scLineUp: next -= kScrollLine; break;
    case scLineDown: next += kScrollLine; break;
    case scPageUp: next -= page; break;
    case scPageDown: next += page; break;
    case scTrack:
    case scPosition: next = AScrollPos; break;
    case scTop: next = 0; break;
    case scBottom: next = limit; break;
    default: break;
  }
  // Never below 0: a picture smaller than the page has nowhere to go.
  next = std::clamp(next, 0, limit);
  AScrollPos = next;
  if (next == pos) return;
  pos = next;
  TAliveToken alive = AliveToken();
  UpdateScrollBars();
  if (alive) ShortRefreshContainer(false);
}
