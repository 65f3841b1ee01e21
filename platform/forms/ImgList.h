// Image lists as components: equal-sized images drawn normal, transparent or disabled, with
// change links that tell the controls showing them.
#pragma once

#include <vector>

#include "platform/forms/Graphics.h"

class TCustomImageList;

// A subscription to an image list's changes. Freeing the link ends it; freeing the list clears
// the link's Sender.
class TChangeLink : public TObject {
  QJ_CLASS(TChangeLink, TObject)
 public:
  TChangeLink() = default;
  ~TChangeLink() override;

  TCustomImageList* GetSender() const { return FSender; }
  // Registers with Value (and leaves the previous list).
  void SetSender(TCustomImageList* Value);
  virtual void Change();

  TNotifyEvent OnChange;

 private:
  friend class TCustomImageList;
  TCustomImageList* FSender = nullptr;
};

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };
enum TResType { rtBitmap, rtCursor, rtIcon };
enum TLoadResource : Cardinal {
  lrDefaultColor = 1u << 0,
  lrDefaultSize = 1u << 1,
  lrFromFile = 1u << 2,
  lrMap3DColors = 1u << 3,
  lrTransparent = 1u << 4,
  lrMonoChrome = 1u << 5,
};
using TLoadResources = Cardinal;

extern const TResourceString SImageIndexError;
extern const TResourceString SImageWriteFail;
extern const TResourceString SInvalidImageSize;

class TCustomImageList : public TComponent {
  QJ_CLASS(TCustomImageList, TComponent)
 public:
  explicit TCustomImageList(TComponent* AOwner);
  TCustomImageList(TComponent* AOwner, Integer AWidth, Integer AHeight);
  ~TCustomImageList() override;

  void Assign(TPersistent* Source) override;

  HIMAGELIST GetHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }

  Integer GetWidth() const { return FWidth; }
  // A new size removes every image; raises EInvalidOperation outside 1..4096.
  void SetWidth(Integer Value) { SetSize(Value, FHeight); }
  Integer GetHeight() const { return FHeight; }
  void SetHeight(Integer Value) { SetSize(FWidth, Value); }
  void SetSize(Integer AWidth, Integer AHeight);
  Integer GetCount();
  // Whether images keep a mask; changing it removes every image.
  bool GetMasked() const { return FMasked; }
  void SetMasked(bool Value);
  // clNone draws transparently (masked lists), clDefault the list's own colour.
  TColor GetBkColor() const { return FBkColor; }
  void SetBkColor(TColor Value);
  TColor GetBlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor Value);
  TDrawingStyle GetDrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value);
  TImageType GetImageType() const { return FImageType; }
  void SetImageType(TImageType Value);
  Integer GetAllocBy() const { return FAllocBy; }
  void SetAllocBy(Integer Value) { FAllocBy = Value > 0 ? Value : 4; }
  bool GetShareImages() const { return FShareImages; }
  void SetShareImages(bool Value) { FShareImages = Value; }

  // Adds the images of a strip (its width a multiple of Width); returns the first new index.
  // Raise EInvalidOperation for an empty image.
  Integer Add(TBitmap* Image, TBitmap* Mask);
  // The mask comes from the pixels of MaskColor (clDefault: the bottom-left pixel; clNone:
  // no mask).
  Integer AddMasked(TBitmap* Image, TColor MaskColor);
  void Replace(Integer Index, TBitmap* Image, TBitmap* Mask);
  void ReplaceMasked(Integer Index, TBitmap* NewImage, TColor MaskColor);
  // Raises EInvalidOperation for an index outside the list.
  void Delete(Integer Index);
  void Clear();

  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled = true);
  // Sizes Image to the list's images and draws the image over its current pixels.
  bool GetBitmap(Integer Index, TBitmap* Image);

  // Replaces the images by a strip loaded from a registered resource bitmap; Width 0 takes
  // square images of the bitmap's height, lrTransparent with clNone masks by the bottom-left
  // pixel. False when there is no such resource.
  bool GetResource(TResType ResType, const String& Name, Integer Width, TLoadResources LoadFlags, TColor MaskColor);
  bool GetInstRes(HINSTANCE Instance, TResType ResType, const String& Name, Integer Width, TLoadResources LoadFlags,
                  TColor MaskColor);
  // Adds the images of a resource bitmap at the list's size (clNone: without a mask).
  bool ResourceLoad(TResType ResType, const String& Name, TColor MaskColor);
  bool FileLoad(TResType ResType, const String& Name, TColor MaskColor);

  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);
  // Change notifications wait until the last EndUpdate.
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();

  TNotifyEvent OnChange;

 protected:
  virtual void Change();
  virtual void DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y, UINT Style, bool Enabled);

 private:
  void RecreateHandle();
  void CheckIndex(Integer Index);

  HIMAGELIST FHandle = nullptr;
  Integer FWidth = 16;
  Integer FHeight = 16;
  bool FMasked = true;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  Integer FAllocBy = 4;
  bool FShareImages = false;
  Integer FUpdateCount = 0;
  bool FChanged = false;
  std::vector<TChangeLink*> FClients;
};

class TImageList : public TCustomImageList {
  QJ_CLASS(TImageList, TCustomImageList)
 public:
  using TCustomImageList::TCustomImageList;
};
