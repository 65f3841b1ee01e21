// Fixture of the paint-model tests: properties with buttons, an edit style with a classic or a
// themed look, a view data made through the properties, and a canvas to calculate and paint on.
#pragma once

#include "editors/qvEdit.h"
#include "editors/qvEditPaintUtils.h"
#include "editors/qvEditorsTestSupport.h"
#include "platform/os/Windows.h"

// Stands in for the editor control: its background, capture, pressed button and auto size.
class TFakeEditClient : public IqvEditPaintClient {
 public:
  bool HasBackground() override { return Background; }
  bool IsMouseCaptured() override { return Captured; }
  Integer GetCapturedButtonIndex() override { return CapturedButton; }
  bool IsAutoSize() override { return AutoSize; }

  bool Background = false;
  bool Captured = false;
  Integer CapturedButton = -1;
  bool AutoSize = false;
};

class TEditViewTest : public TEditorsTest {
 protected:
  void SetUp() override {
    TEditorsTest::SetUp();
    FCanvas = std::make_unique<TEditorsCanvas>(160, 48);
    Properties = MakeOwned<TqvCustomEditProperties>(nullptr);
    FStyle.reset(TqvCustomEditStyle::StaticClass().Create(nullptr, false));
    Style()->GetLookAndFeel()->SetKind(lfStandard);
    Style()->GetLookAndFeel()->SetNativeStyle(false);
  }
  void TearDown() override {
    FViewData.reset();
    ViewInfo.SetButtonCount(0);
    Properties.reset();
    FStyle.reset();
    FCanvas.reset();
    TEditorsTest::TearDown();
  }

  TEditorsCanvas& C() { return *FCanvas; }
  TqvCustomEditStyle* Style() { return static_cast<TqvCustomEditStyle*>(FStyle.get()); }
  // A classic frame exactly as wide as its border style.
  void PlainFrame(TqvEditBorderStyle ABorderStyle) {
    Style()->SetBorderStyle(ABorderStyle);
    Style()->SetHotTrack(false);
    Style()->SetTransparentBorder(false);
  }
  TqvEditButton* AddButton(TqvEditButtonKind AKind = bkDown, bool ALeft = false, Integer AWidth = 0) {
    TqvEditButton* b = Properties->GetButtons()->Add();
    b->SetKind(AKind);
    b->SetLeftAlignment(ALeft);
    b->SetWidth(AWidth);
    return b;
  }
  // A new view data of the properties for the style as it is now.
  TqvCustomEditViewData* Data(bool AInplace = false) {
    FViewData = Properties->CreateViewData(Style(), AInplace);
    return FViewData.get();
  }
  TqvCustomEditViewData* D() { return FViewData.get(); }
  void Calc(const TRect& ABounds, TPoint P = {-1, -1}, TqvMouseButton AButton = cmbNone, TShiftState AShift = 0,
            bool AIsMouseEvent = false) {
    D()->Calculate(C().Canvas(), ABounds, P, AButton, AShift, &ViewInfo, AIsMouseEvent);
  }
  void Paint() { ViewInfo.Draw(C().Canvas()); }
  TqvEditButtonViewInfo* Button(Integer i) { return ViewInfo.GetButton(i); }
  static Integer ScrollArrowWidth() { return GetSystemMetrics(SM_CYHSCROLL); }

  TOwned<TqvCustomEditProperties> Properties;
  TqvCustomEditViewInfo ViewInfo;
  TFakeEditClient Client;

 private:
  std::unique_ptr<TEditorsCanvas> FCanvas;
  TOwned<TqvContainerStyle> FStyle;
  TOwned<TqvCustomEditViewData> FViewData;
};
