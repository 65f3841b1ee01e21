// Receiver settings: the address and port rules, the settings file with damaged content, the
// stored window state with clamping, and the settings dialog (captions, validation, Apply, Close).
#include <sys/stat.h>

#include "app/UConfig.h"
#include "editors/qvLabel.h"
#include "editors/qvTextEdit.h"
#include "platform/forms/ControlsTestSupport.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/FileTestSupport.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Variants.h"
#include "support/IdleScript.h"

namespace {

// ------------------------------------------------------------------ address and port rules

struct TAddressCase {
  const char* Name;
  const char* Text;
  bool Valid;
};

class ReceiverAddress : public ::testing::TestWithParam<TAddressCase> {};

TEST_P(ReceiverAddress, StrictDottedDecimal) {
  EXPECT_EQ(IsValidReceiverAddress(GetParam().Text), GetParam().Valid) << '"' << GetParam().Text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReceiverAddress,
    ::testing::Values(TAddressCase{"PrivateLan", "192.168.0.200", true}, TAddressCase{"Zeros", "0.0.0.0", true},
                      TAddressCase{"AllOnes", "255.255.255.255", true}, TAddressCase{"TenNet", "10.1.2.3", true},
                      TAddressCase{"ThreeParts", "192.168.200", false},
                      TAddressCase{"FiveParts", "1.2.3.4.5", false}, TAddressCase{"PartAbove255", "192.168.256.1", false},
                      TAddressCase{"LeadingZero", "192.168.01.1", false}, TAddressCase{"Octal", "010.0.0.1", false},
                      TAddressCase{"Hexadecimal", "0x7f.0.0.1", false}, TAddressCase{"Sign", "+1.2.3.4", false},
                      TAddressCase{"Negative", "-1.2.3.4", false}, TAddressCase{"LeadingBlank", " 1.2.3.4", false},
                      TAddressCase{"TrailingBlank", "1.2.3.4 ", false}, TAddressCase{"EmptyPart", "1..3.4", false},
                      TAddressCase{"TrailingDot", "1.2.3.4.", false}, TAddressCase{"Letters", "a.b.c.d", false},
                      TAddressCase{"HostName", "receiver", false}, TAddressCase{"Empty", "", false},
                      TAddressCase{"HugePart", "1.2.3.99999999999", false}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TPortCase {
  const char* Name;
  const char* Text;
  Integer Expected;  // 0: refused
};

class ReceiverPort : public ::testing::TestWithParam<TPortCase> {};

TEST_P(ReceiverPort, DecimalFrom1024To65000) {
  Integer port = -7;
  const bool valid = TryReceiverPort(GetParam().Text, port);
  EXPECT_EQ(valid, GetParam().Expected != 0) << '"' << GetParam().Text << '"';
  EXPECT_EQ(port, valid ? GetParam().Expected : -7) << "untouched on a refusal";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReceiverPort,
    ::testing::Values(TPortCase{"BelowRange", "1023", 0}, TPortCase{"Lowest", "1024", 1024},
                      TPortCase{"Highest", "65000", 65000}, TPortCase{"AboveRange", "65001", 0},
                      TPortCase{"Default", "9090", 9090}, TPortCase{"TrailingLetter", "12a", 0},
                      TPortCase{"Empty", "", 0}, TPortCase{"Negative", "-2000", 0}, TPortCase{"Plus", "+2000", 0},
                      TPortCase{"Blank", " 2000", 0}, TPortCase{"Dollar", "$7D0", 0}, TPortCase{"HexPrefix", "0x7D0", 0},
                      TPortCase{"Overflow", "99999999999999999999", 0}, TPortCase{"SixDigits", "065000", 0},
                      TPortCase{"Fraction", "2000.5", 0}),
    [](const auto& info) { return std::string(info.param.Name); });

// ------------------------------------------------------------------ settings file

class SettingsFile : public ::testing::Test {
 protected:
  TTempFolder Folder;
  String FileName = Folder.File("config.ini");
};

TEST_F(SettingsFile, MissingFileGivesTheDefaults) {
  const TSTBAddr settings = LoadSettings(FileName);
  EXPECT_EQ(settings.Port, 9090);
  EXPECT_EQ(settings.Address, ReceiverSettings::DefaultAddress);
  EXPECT_TRUE(IsValidReceiverAddress(settings.Address));
  EXPECT_TRUE(settings.Address.rfind("192.168.", 0) == 0) << "an address of a private LAN";
}

TEST_F(SettingsFile, SavedSettingsLoadAgainAndKeepTheOtherLines) {
  WriteWholeFile(FileName, "; written by hand\n[OTHER]\nKEY=kept\n");
  SaveSettings({"10.20.30.200", 4000}, FileName);
  EXPECT_EQ(LoadSettings(FileName), (TSTBAddr{"10.20.30.200", 4000}));
  const String text = ReadWholeFile(FileName);
  EXPECT_NE(text.find("[SETTOPINFO]"), String::npos) << text;
  EXPECT_NE(text.find("ADDR=10.20.30.200"), String::npos) << text;
  EXPECT_NE(text.find("PORT=4000"), String::npos) << text;
  EXPECT_NE(text.find("; written by hand"), String::npos) << text;
  EXPECT_NE(text.find("KEY=kept"), String::npos) << text;
}

// A byte string with the NULs of the literal.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

struct TDamagedCase {
  const char* Name;
  std::string Content;
  const char* Address;  // nullptr: the default
  Integer Port;         // 0: the default
};

class DamagedSettingsFile : public SettingsFile, public ::testing::WithParamInterface<TDamagedCase> {};

TEST_P(DamagedSettingsFile, BrokenValuesGiveTheirDefaults) {
  const TDamagedCase& c = GetParam();
  WriteWholeFile(FileName, c.Content);
  const TSTBAddr settings = LoadSettings(FileName);
  EXPECT_EQ(settings.Address, c.Address ? c.Address : ReceiverSettings::DefaultAddress);
  EXPECT_EQ(settings.Port, c.Port ? c.Port : ReceiverSettings::DefaultPort);
}

INSTANTIATE_TEST_SUITE_P(
    Contents, DamagedSettingsFile,
    ::testing::Values(
        TDamagedCase{"Good", "[SETTOPINFO]\nADDR=10.0.0.7\nPORT=5000\n", "10.0.0.7", 5000},
        TDamagedCase{"BlanksAroundValues", "[settopinfo]\r\n addr = 10.0.0.7 \r\nport= 5000\r\n", "10.0.0.7", 5000},
        TDamagedCase{"Empty", "", nullptr, 0},
        TDamagedCase{"OtherSection", "[ELSE]\nADDR=10.0.0.7\nPORT=5000\n", nullptr, 0},
        TDamagedCase{"ShortAddressAndLetterPort", "[SETTOPINFO]\nADDR=10.1\nPORT=12a\n", nullptr, 0},
        TDamagedCase{"PortOutOfRange", "[SETTOPINFO]\nADDR=10.0.0.7\nPORT=80\n", "10.0.0.7", 0},
        TDamagedCase{"HexadecimalPort", "[SETTOPINFO]\nPORT=$1388\n", nullptr, 0},
        TDamagedCase{"HostNameAddress", "[SETTOPINFO]\nADDR=receiver.local\nPORT=5000\n", nullptr, 5000},
        TDamagedCase{"BinaryBytes", Bytes("\xff\xfe[SETT\0OPINFO]\nADDR=\x01\x02\nPORT\n==\n["), nullptr, 0},
        TDamagedCase{"NoLineBreaks", std::string(5000, 'x'), nullptr, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(SettingsFile, UnreadableFileGivesDefaultsAndRefusesToBeOverwritten) {
  ASSERT_EQ(::mkdir(FileName.c_str(), 0700), 0) << "a folder where the file should be";
  EXPECT_EQ(LoadSettings(FileName), DefaultSTBAddr());
  EXPECT_THROW(SaveSettings({"10.0.0.1", 2000}, FileName), Exception);
}

// ------------------------------------------------------------------ window state

class WindowState : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Work = Screen->GetWorkAreaRect();
  }

  // A form with these outer bounds (NewForm sizes the client area instead).
  static TForm* PlacedForm(Integer left, Integer top, Integer width, Integer height) {
    auto* form = New<TForm>(nullptr);
    form->SetBounds(left, top, width, height);
    return form;
  }
  // A form placed as the main window's stored description places it.
  static TForm* MainLikeForm() { return PlacedForm(369, 162, 800, 566); }

  void Store(const std::vector<std::pair<const char*, Integer>>& values) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(String("\\") + WindowStateStore::Key, true));
    for (const auto& [name, value] : values) registry.WriteInteger(name, value);
  }
  Integer Stored(const char* name) {
    TRegistry registry(KEY_READ);
    EXPECT_TRUE(registry.OpenKeyReadOnly(String("\\") + WindowStateStore::Key));
    return registry.ReadInteger(name);
  }

  TTempFolder Home;
  TEnvScope HomeScope{"XDG_CONFIG_HOME", Home.Path()};
  TRect Work;
};

TEST_F(WindowState, MissingKeyChangesNothing) {
  TForm* form = MainLikeForm();
  const TRect before = form->GetBoundsRect();
  LoadWindowState(form);
  EXPECT_EQ(form->GetBoundsRect(), before);
  EXPECT_EQ(form->GetWindowState(), wsNormal);
}

TEST_F(WindowState, NormalPlacementRoundTrips) {
  TForm* form = PlacedForm(100, 120, 640, 480);
  form->Show();
  const TRect placed = form->GetBoundsRect();
  ASSERT_TRUE(SaveWindowState(form));
  EXPECT_EQ(Stored("Left"), placed.Left);
  EXPECT_EQ(Stored("Top"), placed.Top);
  EXPECT_EQ(Stored("Width"), placed.Width());
  EXPECT_EQ(Stored("Height"), placed.Height());
  EXPECT_EQ(Stored("State"), 0);

  TForm* next = MainLikeForm();
  LoadWindowState(next);
  EXPECT_EQ(next->GetBoundsRect(), placed);
  EXPECT_EQ(next->GetWindowState(), wsNormal);
}

TEST_F(WindowState, MaximisedWindowStoresItsNormalRectangleAndComesBackMaximised) {
  TForm* form = PlacedForm(60, 70, 500, 400);
  form->Show();
  const TRect normal = form->GetBoundsRect();
  form->SetWindowState(wsMaximized);
  ASSERT_NE(form->GetBoundsRect(), normal);
  ASSERT_TRUE(SaveWindowState(form));
  EXPECT_EQ(Stored("Width"), normal.Width());
  EXPECT_EQ(Stored("Left"), normal.Left);
  EXPECT_EQ(Stored("State"), 2);

  TForm* next = MainLikeForm();
  LoadWindowState(next);
  next->Show();
  EXPECT_TRUE(IsZoomed(next->GetHandle()));
  next->SetWindowState(wsNormal);
  EXPECT_EQ(next->GetBoundsRect(), normal) << "restoring gives the stored normal rectangle";
}

TEST_F(WindowState, MinimisedWindowComesBackMinimised) {
  TForm* form = PlacedForm(60, 70, 500, 400);
  form->Show();
  form->SetWindowState(wsMinimized);
  ASSERT_TRUE(SaveWindowState(form));
  EXPECT_EQ(Stored("State"), 1);
  EXPECT_EQ(Stored("Width"), 500) << "the normal rectangle, not the icon's";

  TForm* next = MainLikeForm();
  LoadWindowState(next);
  next->Show();
  EXPECT_TRUE(IsIconic(next->GetHandle()));
}

TEST_F(WindowState, UnwritableStoreIsReportedWithoutRaising) {
  TTempFolder other;
  const String notAFolder = other.File("file");
  WriteWholeFile(notAFolder, "x");
  TEnvScope scope("XDG_CONFIG_HOME", notAFolder);
  TForm* form = MainLikeForm();
  EXPECT_FALSE(SaveWindowState(form));
}

struct TClampCase {
  const char* Name;
  std::vector<std::pair<const char*, Integer>> Values;
  // The expected bounds from the work area W and the form's own bounds F (369, 162, 800 x 566).
  TRect (*Expected)(const TRect& W);
  TWindowState State;
};

class WindowStateClamp : public WindowState, public ::testing::WithParamInterface<TClampCase> {};

TEST_P(WindowStateClamp, StoredValuesLandInsideTheWorkArea) {
  const TClampCase& c = GetParam();
  Store(c.Values);
  TForm* form = MainLikeForm();
  LoadWindowState(form);
  EXPECT_EQ(form->GetBoundsRect(), c.Expected(Work));
  EXPECT_EQ(form->GetWindowState(), c.State);
}

INSTANTIATE_TEST_SUITE_P(
    Values, WindowStateClamp,
    ::testing::Values(
        TClampCase{"OnlyState", {{"State", 0}}, [](const TRect&) { return Bounds(369, 162, 800, 566); }, wsNormal},
        TClampCase{"OffTheRightEdge",
                   {{"Left", 5000}, {"Top", 10}, {"Width", 400}, {"Height", 300}},
                   [](const TRect& W) { return Bounds(W.Right - 400, 10, 400, 300); },
                   wsNormal},
        TClampCase{"AboveAndLeftOfTheScreen",
                   {{"Left", -900}, {"Top", -50}, {"Width", 400}, {"Height", 300}},
                   [](const TRect& W) { return Bounds(W.Left, W.Top, 400, 300); },
                   wsNormal},
        TClampCase{"LargerThanTheWorkArea",
                   {{"Left", 30}, {"Top", 30}, {"Width", 100000}, {"Height", 100000}},
                   [](const TRect& W) { return W; },
                   wsNormal},
        TClampCase{"NegativeAndZeroSize",
                   {{"Left", 30}, {"Top", 40}, {"Width", -50}, {"Height", 0}},
                   [](const TRect&) { return Bounds(30, 40, WindowStateStore::MinWidth, WindowStateStore::MinHeight); },
                   wsNormal},
        TClampCase{"UnknownState", {{"State", 7}}, [](const TRect&) { return Bounds(369, 162, 800, 566); }, wsNormal},
        TClampCase{"NegativeState", {{"State", -1}}, [](const TRect&) { return Bounds(369, 162, 800, 566); }, wsNormal},
        TClampCase{"Maximised", {{"State", 2}}, [](const TRect&) { return Bounds(369, 162, 800, 566); }, wsMaximized}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(WindowState, ValuesOfAnotherTypeKeepTheFormsOwn) {
  {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(String("\\") + WindowStateStore::Key, true));
    registry.WriteString("Width", "wide");
    registry.WriteInteger("Height", 400);
    registry.WriteBinaryData("Left", "\x01\x02", 2);
  }
  TForm* form = MainLikeForm();
  LoadWindowState(form);
  EXPECT_EQ(form->GetBoundsRect(), Bounds(369, 162, 800, 400));
}

// ------------------------------------------------------------------ settings dialog

// A real click, so that what the click raises reaches the application's message box.
void ClickButton(TButton* button) {
  const TPoint p = button->ClientToScreen({button->GetWidth() / 2, button->GetHeight() / 2});
  Headless::Click(p.X, p.Y);
}

class ConfigDialog : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Dialog = New<TfrmConfig>(nullptr, Settings, FileName);
  }

  template <class T>
  T* Part(const char* name) {
    auto* part = dynamic_cast<T*>(Dialog->FindComponent(name));
    EXPECT_TRUE(part) << name;
    return part;
  }
  void Enter(const String& address, const String& port) {
    Dialog->GetIPAddr()->SetEditValue(address);
    Dialog->GetPort()->SetEditValue(port);
  }
  // The error text Apply raises; empty when it raises nothing.
  String ApplyError() {
    try {
      Dialog->btApplyClick(Dialog->GetApplyButton());
    } catch (const Exception& e) {
      return e.Message();
    }
    return "";
  }

  TTempFolder Folder;
  String FileName = Folder.File("config.ini");
  TSTBAddr Settings{"192.168.7.20", 7000};
  TfrmConfig* Dialog = nullptr;
};

TEST_F(ConfigDialog, BuiltWithThePartsAndCaptions) {
  EXPECT_EQ(Dialog->GetCaption(), "SETTOP Config Setting");
  EXPECT_EQ(Dialog->GetBorderStyle(), bsDialog);
  EXPECT_EQ(Dialog->GetFormStyle(), fsStayOnTop);
  EXPECT_EQ(Dialog->GetPosition(), poMainFormCenter);
  EXPECT_EQ(Part<TLabel>("lbIPAddr")->GetCaption(), "IP Addr");
  EXPECT_EQ(Part<TLabel>("lbPort")->GetCaption(), "Port");
  EXPECT_EQ(Part<TqvLabel>("qvLabel1")->GetCaption(), String("sample) ") + ReceiverSettings::DefaultAddress);
  EXPECT_EQ(Part<TqvLabel>("qvLabel2")->GetCaption(), "sample) 1234");
  EXPECT_EQ(Part<TqvTextEdit>("qvIPAddr"), Dialog->GetIPAddr());
  EXPECT_EQ(Part<TqvTextEdit>("qvPort"), Dialog->GetPort());
  EXPECT_EQ(Part<TButton>("btApply")->GetCaption(), "Apply");
  EXPECT_EQ(Part<TButton>("btClose")->GetCaption(), "Close");
  TButton* tryTo = Part<TButton>("btTryto");
  EXPECT_EQ(tryTo->GetCaption(), "Try to Connect..");
  EXPECT_FALSE(tryTo->GetVisible());
  EXPECT_FALSE(Dialog->HasState(csLoading)) << "the loading phase ended";
}

TEST_F(ConfigDialog, FieldsShowTheCurrentSettings) {
  EXPECT_EQ(Dialog->GetIPAddr()->GetText(), "192.168.7.20");
  EXPECT_EQ(Dialog->GetPort()->GetText(), "7000");
}

struct TFieldCase {
  const char* Name;
  bool AddressField;
  const char* Text;
  const char* Error;  // "" when accepted
};

class ConfigDialogValidation : public ConfigDialog, public ::testing::WithParamInterface<TFieldCase> {};

TEST_P(ConfigDialogValidation, EditorsRefuseWithTheirTexts) {
  const TFieldCase& c = GetParam();
  TqvTextEdit* edit = c.AddressField ? Dialog->GetIPAddr() : Dialog->GetPort();
  Variant value = String(c.Text);
  TCaption errorText;
  bool error = false;
  edit->GetProperties()->ValidateDisplayValue(value, errorText, error, edit);
  EXPECT_EQ(error, *c.Error != 0);
  EXPECT_EQ(error ? errorText : "", c.Error);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ConfigDialogValidation,
    ::testing::Values(TFieldCase{"AddressLastPart200", true, "192.168.1.200", ""},
                      TFieldCase{"AddressThreeParts", true, "192.168.1", "invalid IP Address"},
                      TFieldCase{"AddressPartAbove255", true, "192.168.1.300", "invalid IP Address"},
                      TFieldCase{"Port1023", false, "1023", "invalid Port No."},
                      TFieldCase{"Port1024", false, "1024", ""}, TFieldCase{"Port65000", false, "65000", ""},
                      TFieldCase{"Port65001", false, "65001", "invalid Port No."},
                      TFieldCase{"Port12a", false, "12a", "invalid Port No."}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ConfigDialog, ApplyStoresBothValuesAndCloses) {
  Enter("10.0.0.200", "5050");
  EXPECT_EQ(ApplyError(), "");
  EXPECT_EQ(Settings, (TSTBAddr{"10.0.0.200", 5050}));
  EXPECT_EQ(LoadSettings(FileName), Settings);
  EXPECT_EQ(Dialog->GetModalResult(), mrOk);
}

struct TApplyRefusalCase {
  const char* Name;
  const char* Address;
  const char* Port;
  const char* Error;
};

class ConfigDialogApplyRefusal : public ConfigDialog, public ::testing::WithParamInterface<TApplyRefusalCase> {};

TEST_P(ConfigDialogApplyRefusal, ChangesNothing) {
  const TApplyRefusalCase& c = GetParam();
  const TSTBAddr before = Settings;
  Dialog->Show();
  Enter(c.Address, c.Port);
  EXPECT_EQ(ApplyError(), c.Error);
  EXPECT_EQ(Settings, before);
  EXPECT_FALSE(FileExists(FileName)) << "nothing written";
  EXPECT_EQ(Dialog->GetModalResult(), mrNone) << "the dialog stays open";
  TqvTextEdit* refused = String(c.Error) == "invalid IP Address" ? Dialog->GetIPAddr() : Dialog->GetPort();
  EXPECT_TRUE(refused->Focused()) << "the refused field takes the focus";
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ConfigDialogApplyRefusal,
    ::testing::Values(TApplyRefusalCase{"BadAddress", "10.0.0", "5050", "invalid IP Address"},
                      TApplyRefusalCase{"BadPort", "10.0.0.1", "12a", "invalid Port No."},
                      TApplyRefusalCase{"PortOutOfRange", "10.0.0.1", "65001", "invalid Port No."},
                      TApplyRefusalCase{"BothBad", "1.2.3.4.5", "", "invalid IP Address"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ConfigDialog, ApplyThatCannotWriteTheFileChangesNothing) {
  ASSERT_EQ(::mkdir(FileName.c_str(), 0700), 0);
  const TSTBAddr before = Settings;
  Enter("10.0.0.9", "5050");
  EXPECT_NE(ApplyError(), "");
  EXPECT_EQ(Settings, before);
  EXPECT_EQ(Dialog->GetModalResult(), mrNone);
}

TEST_F(ConfigDialog, CloseTakesNothing) {
  const TSTBAddr before = Settings;
  Dialog->Show();
  Enter("10.0.0.9", "5050");
  Dialog->btCloseClick(Dialog->GetCloseButton());
  EXPECT_EQ(Settings, before);
  EXPECT_FALSE(FileExists(FileName));
}

TEST_F(ConfigDialog, ModalDialogRefusesABadPortThenApplies) {
  Free(Dialog);
  auto dialog = [] { return dynamic_cast<TfrmConfig*>(Screen->GetActiveCustomForm()); };
  RunWhenIdle(
      {[&] {
         dialog()->GetIPAddr()->SetEditValue(String("172.16.0.200"));
         dialog()->GetPort()->SetEditValue(String("99"));
       },
       [&] { ClickButton(dialog()->GetApplyButton()); },
       [&] { dialog()->GetPort()->SetEditValue(String("8080")); },
       [&] { ClickButton(dialog()->GetApplyButton()); }},
      [&] { return dialog() != nullptr; });
  EXPECT_TRUE(ShowConfigDialog(Settings, FileName));
  EXPECT_EQ(Boxes, (std::vector<String>{"invalid Port No."}));
  EXPECT_EQ(Settings, (TSTBAddr{"172.16.0.200", 8080}));
  EXPECT_EQ(LoadSettings(FileName), Settings);
}

}  // namespace
