// TPicture and the registry of graphic file formats.
#include <algorithm>
#include <climits>
#include <cstdlib>
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

uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }
uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

bool ReadBitmapSize(const uint8_t* d, size_t n, TSize& ASize) {
  if (n < 26) return false;
  if (Le32(d + 14) == 12) {
    ASize = {Integer(Le16(d + 18)), std::abs(Integer(int16_t(Le16(d + 20))))};
    return true;
  }
  if (Le32(d + 14) < 40) return false;
  const int64_t w = int32_t(Le32(d + 18)), h = int32_t(Le32(d + 22));
  ASize = {Integer(std::min<int64_t>(std::llabs(w), INT32_MAX)), Integer(std::min<int64_t>(std::llabs(h), INT32_MAX))};
  return true;
}

// An icon: the largest image of its directory, a PNG image by its own header.
bool ReadIconSize(const uint8_t* d, size_t n, TSize& ASize) {
  if (n < 6) return false;
  const size_t count = Le16(d + 4);
  if (count == 0 || n < 6 + count * 16) return false;
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  TSize size{0, 0};
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = d + 6 + i * 16;
    Integer w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
    const size_t offset = Le32(e + 12);
    if (offset < n && n - offset >= 24 && std::memcmp(d + offset, kPng, 8) == 0) {
      w = Integer(std::min<uint32_t>(Be32(d + offset + 16), INT32_MAX));
      h = Integer(std::min<uint32_t>(Be32(d + offset + 20), INT32_MAX));
    }
    size.cx = std::max(size.cx, w);
    size.cy = std::max(size.cy, h);
  }
  ASize = size;
  return true;
}

}  // namespace

bool ReadGraphicSize(const uint8_t* Data, size_t Size, TSize& ASize) {
  if (!Data) return false;
  TGraphicClass cls = ClassOfSignature(Data, Size);
  if (cls == &TBitmap::StaticClass()) return ReadBitmapSize(Data, Size, ASize);
  if (cls == &TJPEGImage::StaticClass()) return ReadJpegSize(Data, Size, ASize);
  if (cls == &TIcon::StaticClass()) return ReadIconSize(Data, Size, ASize);
  return false;
}

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
