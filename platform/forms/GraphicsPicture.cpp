// TPicture and the registry of graphic file formats.
#include <algorithm>
#include <cstring>

#include "platform/forms/Graphics.h"
#include "platform/forms/Jpeg.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Streams.h"

QJ_IMPLEMENT_CLASS(TPicture)

namespace {

struct TFileFormat {
  String Extension;  // lower case, no dot
  String Description;
  TGraphicClass GraphicClass;
};

// Registration order; listings show the newest first.
std::vector<TFileFormat>& FileFormats() {
  static std::vector<TFileFormat> formats = [] {
    std::vector<TFileFormat> f;
    f.push_back({"bmp", "Bitmaps", &TBitmap::StaticClass()});
    f.push_back({"ico", "Icons", &TIcon::StaticClass()});
    f.push_back({"jpeg", "JPEG Image File", &TJPEGImage::StaticClass()});
    f.push_back({"jpg", "JPEG Image File", &TJPEGImage::StaticClass()});
    return f;
  }();
  return formats;
}

String NormalExtension(const String& ext) { return LowerCase(!ext.empty() && ext[0] == '.' ? ext.substr(1) : ext); }

// The class whose signature starts the data, or nullptr.
TGraphicClass ClassOfSignature(const uint8_t* d, size_t n) {
  if (n >= 2 && d[0] == 'B' && d[1] == 'M') return &TBitmap::StaticClass();
  if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return &TJPEGImage::StaticClass();
  if (n >= 4 && d[0] == 0 && d[1] == 0 && d[2] == 1 && d[3] == 0) return &TIcon::StaticClass();
  return nullptr;
}

}  // namespace

void TPicture::RegisterFileFormat(const String& Extension, const String& Description, TGraphicClass GraphicClass) {
  String ext = NormalExtension(Extension);
  if (ext.empty() || !GraphicClass || !GraphicClass->CanCreate())
    throw EInvalidGraphicOperation(Format("Cannot register the graphic format '%s'", {Extension}));
  std::vector<TFileFormat>& formats = FileFormats();
  std::erase_if(formats, [&](const TFileFormat& f) { return f.Extension == ext; });
  formats.push_back({ext, Description, GraphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass GraphicClass) {
  std::erase_if(FileFormats(), [&](const TFileFormat& f) { return f.GraphicClass->InheritsFrom(GraphicClass); });
}

TGraphicClass TPicture::GraphicClassOfFile(const String& FileName) {
  String ext = NormalExtension(ExtractFileExt(FileName));
  for (const TFileFormat& f : FileFormats())
    if (f.Extension == ext) return f.GraphicClass;
  return nullptr;
}

String GraphicFilter(TGraphicClass GraphicClass) {
  String all, each;
  const std::vector<TFileFormat>& formats = FileFormats();
  for (auto it = formats.rbegin(); it != formats.rend(); ++it) {
    if (GraphicClass && !it->GraphicClass->InheritsFrom(GraphicClass)) continue;
    String mask = "*." + it->Extension;
    all += (all.empty() ? "" : ";") + mask;
    each += "|" + it->Description + " (" + mask + ")|" + mask;
  }
  if (all.empty()) return String();
  return "All (" + all + ")|" + all + each;
}

String GraphicExtension(TGraphicClass GraphicClass) {
  for (const TFileFormat& f : FileFormats())
    if (f.GraphicClass == GraphicClass) return f.Extension;
  return String();
}

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::Changed(TObject*) {
  if (OnChange) OnChange(this);
}

void TPicture::SetOwnedGraphic(TOwned<TGraphic> Graphic) {
  if (Graphic) Graphic->OnChange = [this](TObject* s) { Changed(s); };
  TOwned<TGraphic> old = std::move(FGraphic);
  FGraphic = std::move(Graphic);
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic.get()) return;
  TOwned<TGraphic> copy;
  if (Value) {
    auto* cls = static_cast<TGraphicClass>(Value->ClassType());
    if (!cls->CanCreate()) throw EInvalidGraphicOperation(Format("Cannot copy a %s", {Value->ClassName()}));
    copy.reset(cls->Create());
    copy->Assign(Value);
  }
  SetOwnedGraphic(std::move(copy));
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* pic = As<TPicture>(Source)) {
    if (pic != this) SetGraphic(pic->GetGraphic());
  } else if (auto* graphic = As<TGraphic>(Source)) {
    SetGraphic(graphic);
  } else {
    inherited::Assign(Source);
  }
}

TBitmap* TPicture::GetBitmap() {
  if (!As<TBitmap>(FGraphic.get())) SetOwnedGraphic(MakeOwned<TBitmap>());
  return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::GetIcon() {
  if (!As<TIcon>(FGraphic.get())) SetOwnedGraphic(MakeOwned<TIcon>());
  return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::LoadNew(TGraphicClass GraphicClass, const std::function<void(TGraphic*)>& Load) {
  TOwned<TGraphic> graphic(GraphicClass->Create());
  Load(graphic.get());  // a failure leaves the current graphic in place
  SetOwnedGraphic(std::move(graphic));
}

void TPicture::LoadFromFile(const String& FileName) {
  TGraphicClass cls = GraphicClassOfFile(FileName);
  if (!cls) throw EInvalidGraphic(&SUnknownExtension, {NormalExtension(ExtractFileExt(FileName))});
  LoadNew(cls, [&](TGraphic* g) { g->LoadFromFile(FileName); });
}

void TPicture::SaveToFile(const String& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::LoadFromStream(TStream* Stream) {
  Int64 start = Stream->GetPosition();
  uint8_t head[4] = {};
  Integer n = Stream->Read(head, sizeof(head));
  Stream->SetPosition(start);
  TGraphicClass cls = ClassOfSignature(head, size_t(std::max<Integer>(0, n)));
  if (!cls) throw EInvalidGraphic(&SInvalidImage);
  LoadNew(cls, [&](TGraphic* g) { g->LoadFromStream(Stream); });
}

void TPicture::SaveToStream(TStream* Stream) {
  if (FGraphic) FGraphic->SaveToStream(Stream);
}
