// The drawing-context holders that need the window system (the screen's DC).
#include "platform/os/GdiScopes.h"

#include "platform/os/Windows.h"

TMeasureDC::TMeasureDC(HFONT AFont) : FDC(GetDC(nullptr)) {
  if (AFont) FOld = SelectObject(FDC, AFont);
}

TMeasureDC::~TMeasureDC() {
  if (FOld) SelectObject(FDC, FOld);
  ReleaseDC(nullptr, FDC);
}

TMemoryDC::TMemoryDC(HDC ACompatible, HBITMAP ABitmap) : FDC(CreateCompatibleDC(ACompatible)) {
  if (ABitmap) FOld = SelectObject(FDC, ABitmap);
}

TMemoryDC::~TMemoryDC() {
  if (FOld) SelectObject(FDC, FOld);
  DeleteDC(FDC);
}
