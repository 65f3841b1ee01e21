#include "XScreenReader.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

struct TXScreenReader::TImpl {
  void* Lib = nullptr;
  Display* Dpy = nullptr;
  Display* (*Open)(const char*) = nullptr;
  int (*Close)(Display*) = nullptr;
  Window (*Root)(Display*) = nullptr;
  XImage* (*GetImage)(Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int) = nullptr;
};

TXScreenReader::TXScreenReader(const std::string& display) : FImpl(std::make_unique<TImpl>()) {
  TImpl& d = *FImpl;
  d.Lib = dlopen("libX11.so.6", RTLD_NOW);
  if (!d.Lib) return;
  d.Open = reinterpret_cast<Display* (*)(const char*)>(dlsym(d.Lib, "XOpenDisplay"));
  d.Close = reinterpret_cast<int (*)(Display*)>(dlsym(d.Lib, "XCloseDisplay"));
  d.Root = reinterpret_cast<Window (*)(Display*)>(dlsym(d.Lib, "XDefaultRootWindow"));
  d.GetImage = reinterpret_cast<XImage* (*)(Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int)>(
      dlsym(d.Lib, "XGetImage"));
  if (d.Open && d.Close && d.Root && d.GetImage) d.Dpy = d.Open(display.c_str());
}

TXScreenReader::~TXScreenReader() {
  if (FImpl->Dpy) FImpl->Close(FImpl->Dpy);
  if (FImpl->Lib) dlclose(FImpl->Lib);
}

bool TXScreenReader::Ok() const { return FImpl->Dpy != nullptr; }

uint32_t TXScreenReader::Pixel(int x, int y) {
  TImpl& d = *FImpl;
  XImage* img = d.GetImage(d.Dpy, d.Root(d.Dpy), x, y, 1, 1, AllPlanes, ZPixmap);
  if (!img) return 0xFFFFFFFFu;
  unsigned long p = img->f.get_pixel(img, 0, 0);
  img->f.destroy_image(img);
  return static_cast<uint32_t>(p & 0xFFFFFF);
}
