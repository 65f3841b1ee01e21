// Stored "Filter" and filter option texts fed to a view: nothing may crash, a value that does
// not convert leaves the view as it was, and a filter that was read stores and reads back the
// same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/qvFilter.h"
#include "support/BenchUnits.h"
#include "support/GridTestViews.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

const std::vector<String> kFilterOptionNames = {"fcoCaseInsensitive", "fcoShowOperatorDescription", "fcoSoftNull",
                                                "fcoSoftCompare"};

// A view that stores its filter and the filter's options, as the table view does.
class TFuzzView : public TBareGridView {
  QJ_INLINE_CLASS(TFuzzView, TBareGridView)
 public:
  using TBareGridView::TBareGridView;

  TqvDataFilterCriteria* Filter() const { return GetDataController()->GetFilter(); }

  bool GetStoredProperties(TStrings* AProperties) override {
    AProperties->Add("Filter");
    AProperties->Add("FilterOptions");
    return TBareGridView::GetStoredProperties(AProperties);
  }
  void GetStoredPropertyValue(const String& AName, Variant& AValue) override {
    if (AName == "Filter")
      AValue = GetStoredFilterValue(Filter());
    else if (AName == "FilterOptions")
      AValue = SetToString(Filter()->GetOptions(), 1, kFilterOptionNames);
    else
      TBareGridView::GetStoredPropertyValue(AName, AValue);
  }
  void SetStoredPropertyValue(const String& AName, const Variant& AValue) override {
    if (AName == "Filter") {
      SetStoredFilterValue(Filter(), AValue);
    } else if (AName == "FilterOptions") {
      Cardinal options = Filter()->GetOptions();
      StringToSet(AValue.AsString(), options, 1, kFilterOptionNames);
      Filter()->SetOptions(static_cast<TqvFilterCriteriaOptions>(options));
    } else {
      TBareGridView::SetStoredPropertyValue(AName, AValue);
    }
  }

};

TFuzzView* FuzzView() {
  static TFuzzView* view = [] {
    EnsureBenchUnits();
    auto* v = New<TFuzzView>(nullptr);
    static std::vector<TOwned<TTestGridItem>> items;
    for (Integer id : {0, 1, 7, 255}) {
      items.push_back(MakeOwned<TTestGridItem>(id));
      v->GetDataController()->AddItem(items.back().get());
    }
    return v;
  }();
  return view;
}

Variant Stored(IqvStoredLayoutObject* AObject, const String& AName) {
  Variant value;
  AObject->GetPropertyValue(AName, value);
  return value;
}

// Sets a property; a refusal must leave it as it was, an acceptance must read back stably.
void Feed(IqvStoredLayoutObject* AObject, const String& AName, const String& AText) {
  const String before = Stored(AObject, AName).AsString();
  try {
    AObject->SetPropertyValue(AName, Variant(AText));
  } catch (const Exception&) {
    Check(Stored(AObject, AName).AsString() == before);
    return;
  }
  const Variant after = Stored(AObject, AName);
  AObject->SetPropertyValue(AName, after);
  Check(Stored(AObject, AName).AsString() == after.AsString());
}

}  // namespace

// Input: a selector byte (bit 0: the filter's option text, else the filter itself) and the text;
// bit 1 prefixes the text with "Hex:" so that most inputs reach the criteria stream.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  String text(reinterpret_cast<const char*>(data + 1), size - 1);
  IqvStoredLayoutObject* view = FuzzView();
  if (data[0] & 1) {
    Feed(view, "FilterOptions", text);
  } else {
    if (data[0] & 2) text = StringToHex(text).insert(0, qvStoredFilterPrefix);
    Feed(view, "Filter", text);
  }
  return 0;
}
