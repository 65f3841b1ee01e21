// TCustomImageList over the drawing layer's image lists.
#include "platform/forms/ImgList.h"

#include <algorithm>

#include "platform/os/Gdi.h"
#include "platform/rtl/Scopes.h"

const TResourceString SImageIndexError = {65220, "Invalid ImageList Index"};
const TResourceString SImageWriteFail = {65221, "Failed to write ImageList data to stream"};
const TResourceString SInvalidImageSize = {65222, "Invalid image size"};

QJ_IMPLEMENT_CLASS(TChangeLink)
QJ_IMPLEMENT_CLASS(TCustomImageList)
QJ_IMPLEMENT_CLASS(TImageList)

// ---------------------------------------------------------------------------------------------
// TChangeLink

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::SetSender(TCustomImageList* Value) {
  if (Value == FSender) return;
  if (FSender) FSender->UnRegisterChanges(this);
  if (Value) Value->RegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(FSender);
}

// ---------------------------------------------------------------------------------------------
// TCustomImageList

namespace {

constexpr Integer kMaxImageSide = 4096;

COLORREF ListColor(TColor color) {
  if (color == clNone) return CLR_NONE;
  if (color == clDefault) return CLR_DEFAULT;
  return ColorToRGB(color) & 0xFFFFFF;
}

UINT StyleBits(TDrawingStyle style, TImageType type) {
  static const UINT kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  return kStyles[style] | (type == itMask ? ILD_MASK : 0);
}

}  // namespace

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(TComponent* AOwner, Integer AWidth, Integer AHeight) : TComponent(AOwner) {
  SetSize(AWidth, AHeight);
}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : FClients) link->FSender = nullptr;
  if (FHandle) ImageList_Destroy(FHandle);
}

HIMAGELIST TCustomImageList::GetHandle() {
  if (!FHandle) FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | (FMasked ? ILC_MASK : 0), FAllocBy, FAllocBy);
  return FHandle;
}

void TCustomImageList::RecreateHandle() {
  if (FHandle) ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

void TCustomImageList::SetSize(Integer AWidth, Integer AHeight) {
  if (AWidth < 1 || AHeight < 1 || AWidth > kMaxImageSide || AHeight > kMaxImageSide)
    throw EInvalidOperation(&SInvalidImageSize);
  if (AWidth == FWidth && AHeight == FHeight) return;
  FWidth = AWidth;
  FHeight = AHeight;
  if (FHandle) ImageList_SetIconSize(FHandle, FWidth, FHeight);
  Change();
}

Integer TCustomImageList::GetCount() { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

void TCustomImageList::SetMasked(bool Value) {
  if (Value == FMasked) return;
  FMasked = Value;
  RecreateHandle();
  Change();
}

void TCustomImageList::SetBkColor(TColor Value) {
  if (Value == FBkColor) return;
  FBkColor = Value;
  if (FHandle) ImageList_SetBkColor(FHandle, ListColor(Value));
  Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
  if (Value == FBlendColor) return;
  FBlendColor = Value;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (Value == FDrawingStyle) return;
  FDrawingStyle = Value;
  Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
  if (Value == FImageType) return;
  FImageType = Value;
  Change();
}

void TCustomImageList::CheckIndex(Integer Index) {
  if (Index < 0 || Index >= GetCount()) throw EInvalidOperation(&SImageIndexError);
}

Integer TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image || Image->GetEmpty()) throw EInvalidOperation(&SInvalidImageSize);
  HBITMAP mask = Mask && !Mask->GetEmpty() ? Mask->GetHandle() : nullptr;
  Integer index = ImageList_Add(GetHandle(), Image->GetHandle(), mask);
  if (index < 0) throw EInvalidOperation(&SImageWriteFail);
  Change();
  return index;
}

Integer TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image || Image->GetEmpty()) throw EInvalidOperation(&SInvalidImageSize);
  if (MaskColor == clNone) return Add(Image, nullptr);  // no colour is transparent
  Integer index = ImageList_AddMasked(GetHandle(), Image->GetHandle(), ListColor(MaskColor));
  if (index < 0) throw EInvalidOperation(&SImageWriteFail);
  Change();
  return index;
}

void TCustomImageList::Replace(Integer Index, TBitmap* Image, TBitmap* Mask) {
  CheckIndex(Index);
  if (!Image || Image->GetEmpty()) throw EInvalidOperation(&SInvalidImageSize);
  HBITMAP mask = Mask && !Mask->GetEmpty() ? Mask->GetHandle() : nullptr;
  if (!ImageList_Replace(FHandle, Index, Image->GetHandle(), mask)) throw EInvalidOperation(&SImageWriteFail);
  Change();
}

void TCustomImageList::ReplaceMasked(Integer Index, TBitmap* NewImage, TColor MaskColor) {
  CheckIndex(Index);
  if (!NewImage || NewImage->GetEmpty()) throw EInvalidOperation(&SInvalidImageSize);
  TColor key = MaskColor == clDefault || MaskColor == clNone ? NewImage->GetTransparentColor() : MaskColor;
  HBITMAP mask = NewImage->MaskHandleFor(key);
  BOOL ok = ImageList_Replace(FHandle, Index, NewImage->GetHandle(), mask);
  DeleteObject(mask);
  if (!ok) throw EInvalidOperation(&SImageWriteFail);
  Change();
}

void TCustomImageList::Delete(Integer Index) {
  CheckIndex(Index);
  ImageList_Remove(FHandle, Index);
  Change();
}

void TCustomImageList::Clear() {
  if (FHandle) ImageList_Remove(FHandle, -1);
  Change();
}

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  if (!Canvas || !FHandle || Index < 0 || Index >= GetCount()) return;
  DoDraw(Index, Canvas, X, Y, StyleBits(ADrawingStyle, AImageType), Enabled);
}

void TCustomImageList::DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y, UINT Style, bool Enabled) {
  HDC dc = Canvas->GetHandle();
  if (Enabled)
    ImageList_DrawEx(FHandle, Index, dc, X, Y, 0, 0, ListColor(FBkColor), ListColor(FBlendColor), Style);
  else
    ImageList_DrawDisabled(FHandle, Index, dc, X, Y);
}

bool TCustomImageList::GetBitmap(Integer Index, TBitmap* Image) {
  if (!Image || !FHandle || Index < 0 || Index >= GetCount()) return false;
  Image->SetSize(FWidth, FHeight);
  Draw(Image->GetCanvas(), 0, 0, Index);
  return true;
}

bool TCustomImageList::GetInstRes(HINSTANCE Instance, TResType ResType, const String& Name, Integer Width,
                                  TLoadResources LoadFlags, TColor MaskColor) {
  if (ResType != rtBitmap) return false;
  TBitmap strip;
  try {
    strip.LoadFromResourceName(Instance, Name);
  } catch (const EResNotFound&) {
    return false;
  }
  TUpdateScope update(this);
  Clear();
  SetSize(Width > 0 ? Width : strip.GetHeight(), strip.GetHeight());
  // Transparent loading without a colour takes the strip's bottom-left pixel.
  AddMasked(&strip, MaskColor == clNone && (LoadFlags & lrTransparent) ? clDefault : MaskColor);
  return true;
}

bool TCustomImageList::GetResource(TResType ResType, const String& Name, Integer Width, TLoadResources LoadFlags,
                                   TColor MaskColor) {
  return GetInstRes(nullptr, ResType, Name, Width, LoadFlags, MaskColor);
}

bool TCustomImageList::ResourceLoad(TResType ResType, const String& Name, TColor MaskColor) {
  if (ResType != rtBitmap) return false;
  TBitmap strip;
  try {
    strip.LoadFromResourceName(nullptr, Name);
  } catch (const EResNotFound&) {
    return false;
  }
  AddMasked(&strip, MaskColor);
  return true;
}

bool TCustomImageList::FileLoad(TResType ResType, const String& Name, TColor MaskColor) {
  if (ResType != rtBitmap) return false;
  TBitmap strip;
  strip.LoadFromFile(Name);
  AddMasked(&strip, MaskColor);
  return true;
}

void TCustomImageList::Assign(TPersistent* Source) {
  auto* src = As<TCustomImageList>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  TUpdateScope update(this);
  RecreateHandle();
  FWidth = src->FWidth;
  FHeight = src->FHeight;
  FMasked = src->FMasked;
  FBkColor = src->FBkColor;
  FBlendColor = src->FBlendColor;
  FDrawingStyle = src->FDrawingStyle;
  FImageType = src->FImageType;
  FAllocBy = src->FAllocBy;
  for (Integer i = 0; i < src->GetCount(); ++i) {
    HBITMAP image = nullptr, mask = nullptr;
    if (!ImageList_GetImageBitmaps(src->FHandle, i, &image, &mask)) continue;
    ImageList_Add(GetHandle(), image, mask);
    DeleteObject(image);
    DeleteObject(mask);
  }
  if (FHandle) ImageList_SetBkColor(FHandle, ListColor(FBkColor));
  Change();
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value || Value->FSender == this) return;
  if (Value->FSender) Value->FSender->UnRegisterChanges(Value);
  Value->FSender = this;
  FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  auto it = std::find(FClients.begin(), FClients.end(), Value);
  if (it == FClients.end()) return;
  FClients.erase(it);
  Value->FSender = nullptr;
}

void TCustomImageList::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::Change() {
  FChanged = true;
  if (FUpdateCount > 0) return;
  FChanged = false;
  TAliveToken alive = AliveToken();
  // A link may leave (or the list go away) while the others are told.
  std::vector<TChangeLink*> clients = FClients;
  for (TChangeLink* link : clients) {
    if (!alive) return;
    if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
  }
  if (alive && OnChange) OnChange(this);
}
