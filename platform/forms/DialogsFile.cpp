// The open and save dialogs: a modal form of ours with a folder view, parent navigation, a typed
// folder path, the file name, the filter's types and the read-only check box.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/forms/Dialogs.h"
#include "platform/forms/DialogsInternal.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TOpenDialog)
QJ_IMPLEMENT_CLASS(TSaveDialog)

namespace {

const TResourceString SOpenTitle = {61210, "Open"};
const TResourceString SSaveTitle = {61211, "Save As"};
const TResourceString SFileNotFound = {61212, "%s\nFile not found.\nCheck the file name and try again."};
const TResourceString SPathNotFound = {61213, "%s\nPath does not exist.\nCheck the path and try again."};
const TResourceString SReplaceFile = {61214, "%s already exists.\nDo you want to replace it?"};
const TResourceString SFolderNotFound = {61215, "%s\nThe folder does not exist."};

bool IsWildcard(const String& Name) { return Name.find_first_of("*?") != String::npos; }

// The pieces of Text between separators, empty ones included.
std::vector<String> SplitAt(const String& Text, char Separator) {
  std::vector<String> pieces;
  size_t start = 0;
  for (size_t end; (end = Text.find(Separator, start)) != String::npos; start = end + 1)
    pieces.push_back(Text.substr(start, end - start));
  pieces.push_back(Text.substr(start));
  return pieces;
}

// * and ? matching, letters compared without case.
bool MatchMask(const char* Name, const char* Mask) {
  for (; *Mask; ++Mask, ++Name) {
    if (*Mask == '*') {
      for (const char* rest = Name;; ++rest) {
        if (MatchMask(rest, Mask + 1)) return true;
        if (!*rest) return false;
      }
    }
    if (!*Name) return false;
    if (*Mask != '?' &&
        std::tolower(static_cast<unsigned char>(*Mask)) != std::tolower(static_cast<unsigned char>(*Name)))
      return false;
  }
  return *Name == 0;
}

String CurrentFolder() {
  std::error_code error;
  std::filesystem::path cwd = std::filesystem::current_path(error);
  return error ? String("/") : FileNameFromOs(cwd.string());
}

struct TFolderEntry {
  String Name;
  bool IsFolder;
};

// The folders and the files matching Masks, folders first, each sorted without case.
std::vector<TFolderEntry> ListFolder(const String& Folder, const String& Masks, bool ShowHidden) {
  std::vector<TFolderEntry> entries;
  std::error_code error;
  for (std::filesystem::directory_iterator it(FileNameToOs(Folder), error), end; !error && it != end;
       it.increment(error)) {
    String name = FileNameFromOs(it->path().filename().string());
    if (!ShowHidden && !name.empty() && name[0] == '.') continue;
    std::error_code typeError;
    bool folder = it->is_directory(typeError);
    if (folder || MatchesFileMasks(name, Masks)) entries.push_back({name, folder});
  }
  std::sort(entries.begin(), entries.end(), [](const TFolderEntry& a, const TFolderEntry& b) {
    if (a.IsFolder != b.IsFolder) return a.IsFolder;
    return CompareText(a.Name, b.Name) < 0;
  });
  return entries;
}

constexpr char kFolderMark = '/';

// The dialog's form; it hands the chosen name to the dialog, which checks it.
class TFileDialogForm : public TForm {
  QJ_INLINE_CLASS(TFileDialogForm, TForm)
 public:
  TFileDialogForm(TOpenDialog* Dialog, const String& Folder, bool Save) : TForm(nullptr), FDialog(Dialog) {
    FFilters = ParseFileFilter(Dialog->GetFilter());
    SetBorderStyle(bsDialog);
    SetCaption(Dialog->GetTitle().empty() ? LoadResString(Save ? &SSaveTitle : &SOpenTitle) : Dialog->GetTitle());
    SetClientWidth(440);
    SetClientHeight(336);
    BuildControls(Save);
    Integer index = Dialog->GetFilterIndex();
    if (index < 1 || index > static_cast<Integer>(FFilters.size())) index = 1;
    if (!FFilters.empty()) FTypes->SetItemIndex(index - 1);
    FName->SetText(ExtractFileName(Dialog->GetFileName()));
    Navigate(Folder);
    // A form not shown yet takes its active control only while loading.
    BeginLoading();
    SetActiveControl(FName);
    EndLoading();
    CentreDialogForm(this);
  }

 private:
  template <class T>
  T* Add(const char* Name, Integer X, Integer Y, Integer W, Integer H) {
    auto* c = New<T>(this);
    c->SetName(Name);
    c->SetBounds(X, Y, W, H);
    c->SetParent(this);
    return c;
  }

  TLabel* AddLabel(const char* Caption, Integer Y, TWinControl* Focus) {
    auto* l = New<TLabel>(this);
    l->SetCaption(Caption);
    l->SetBounds(8, Y + 3, 90, 17);
    l->SetParent(this);
    l->SetFocusControl(Focus);
    return l;
  }

  void BuildControls(bool Save) {
    FFolder = Add<TEdit>("FolderEdit", 100, 8, 250, 23);
    AddLabel("Look &in:", 8, FFolder);
    auto* up = Add<TButton>("UpButton", 358, 8, 74, 23);
    up->SetCaption("&Up");
    up->OnClick = [this](TObject*) { GoUp(); };
    FList = Add<TListBox>("FileList", 8, 40, 424, 170);
    FList->SetMultiSelect(FDialog->GetOptions() & ofAllowMultiSelect);
    FList->OnClick = [this](TObject*) { ListClicked(); };
    FList->OnDblClick = [this](TObject*) { Open(); };
    FList->OnKeyDown = [this](TObject*, Word& Key, TShiftState) {
      if (Key == VK_BACK) GoUp();
    };
    FName = Add<TEdit>("FileNameEdit", 100, 218, 250, 23);
    AddLabel("File &name:", 218, FName);
    FTypes = Add<TListBox>("TypeList", 100, 249, 250, 52);
    AddLabel("Files of &type:", 249, FTypes);
    for (const TFileFilter& f : FFilters) FTypes->GetItems()->Add(f.Name);
    FTypes->OnClick = [this](TObject*) {
      FMask.clear();
      Fill();
    };
    FReadOnly = Add<TCheckBox>("ReadOnlyCheck", 100, 308, 200, 20);
    FReadOnly->SetCaption("Open as &read-only");
    FReadOnly->SetChecked(FDialog->GetOptions() & ofReadOnly);
    FReadOnly->SetVisible(!Save && !(FDialog->GetOptions() & ofHideReadOnly));
    auto* ok = Add<TButton>("OkButton", 358, 218, 74, 25);
    ok->SetCaption(Save ? "&Save" : "&Open");
    ok->SetDefault(true);
    ok->OnClick = [this](TObject*) { Open(); };
    auto* cancel = Add<TButton>("CancelButton", 358, 249, 74, 25);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
  }

  String Masks() const {
    if (!FMask.empty()) return FMask;
    Integer index = FTypes->GetItemIndex();
    return index >= 0 && index < static_cast<Integer>(FFilters.size()) ? FFilters[index].Masks : String();
  }

  void Fill() {
    FEntries = ListFolder(FCurrent, Masks(), FDialog->GetOptions() & ofForceShowHidden);
    TStrings* items = FList->GetItems();
    TUpdateScope update(items);
    items->Clear();
    for (const TFolderEntry& e : FEntries) items->Add(e.IsFolder ? e.Name + kFolderMark : e.Name);
  }

  bool Navigate(const String& Folder) {
    String target = ExpandDialogPath(Folder, FCurrent);
    if (!DirectoryExists(target)) return false;
    FCurrent = target;
    FFolder->SetText(FCurrent);
    Fill();
    return true;
  }

  void GoUp() {
    if (FCurrent != "/") Navigate(ExtractFileDir(FCurrent));
  }

  const TFolderEntry* SelectedEntry() {
    Integer index = FList->GetItemIndex();
    return index >= 0 && index < static_cast<Integer>(FEntries.size()) ? &FEntries[index] : nullptr;
  }

  void ListClicked() {
    if (const TFolderEntry* e = SelectedEntry(); e && !e->IsFolder) FName->SetText(e->Name);
  }

  // The default button, Enter and a double click: what they do depends on where the focus is.
  void Open() {
    if (GetActiveControl() == FFolder) {
      if (!Navigate(FFolder->GetText()))
        MessageDlg(Format(LoadResString(&SFolderNotFound), {FFolder->GetText()}), mtWarning, mbOKOnly, 0);
      return;
    }
    if (GetActiveControl() == FList) {
      if (std::vector<String> files = SelectedFiles(); files.size() > 1) {
        Accept(files);
        return;
      }
      const TFolderEntry* e = SelectedEntry();
      if (e && e->IsFolder) {
        Navigate(e->Name);
        return;
      }
      if (e) FName->SetText(e->Name);
    }
    AcceptName(Trim(FName->GetText()));
  }

  void AcceptName(const String& Name) {
    if (Name.empty()) return;
    if (IsWildcard(Name)) {
      FMask = Name;
      Fill();
      return;
    }
    if (DirectoryExists(ExpandDialogPath(Name, FCurrent))) {
      Navigate(Name);
      FName->SetText("");
      return;
    }
    Accept({Name});
  }

  // The files selected in a list that allows several.
  std::vector<String> SelectedFiles() {
    std::vector<String> files;
    if (!FList->GetMultiSelect()) return files;
    for (Integer i = 0; i < static_cast<Integer>(FEntries.size()); ++i)
      if (!FEntries[i].IsFolder && FList->GetSelected(i)) files.push_back(FEntries[i].Name);
    return files;
  }

  void Accept(const std::vector<String>& Names) {
    if (!FDialog->AcceptFileNames(Names, FCurrent)) return;
    if (!FFilters.empty()) FDialog->SetFilterIndex(FTypes->GetItemIndex() + 1);
    TOpenOptions options = FDialog->GetOptions() & ~ofReadOnly;
    FDialog->SetOptions(FReadOnly->GetChecked() ? options | ofReadOnly : options);
    SetModalResult(mrOk);
  }

  TOpenDialog* FDialog;
  std::vector<TFileFilter> FFilters;
  std::vector<TFolderEntry> FEntries;
  String FCurrent;
  String FMask;  // a typed wildcard name replaces the type's masks
  TEdit* FFolder = nullptr;
  TListBox* FList = nullptr;
  TEdit* FName = nullptr;
  TListBox* FTypes = nullptr;
  TCheckBox* FReadOnly = nullptr;
};

}  // namespace

std::vector<TFileFilter> ParseFileFilter(const String& Filter) {
  std::vector<String> parts = SplitAt(Filter, '|');
  std::vector<TFileFilter> filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2)
    if (!Trim(parts[i + 1]).empty()) filters.push_back({parts[i], Trim(parts[i + 1])});
  return filters;
}

bool MatchesFileMasks(const String& FileName, const String& Masks) {
  if (Trim(Masks).empty()) return true;
  for (const String& piece : SplitAt(Masks, ';')) {
    String mask = Trim(piece);
    if (mask == "*.*" || mask == "*") return true;
    if (!mask.empty() && MatchMask(FileName.c_str(), mask.c_str())) return true;
  }
  return false;
}

String ExpandDialogPath(const String& Path, const String& BaseDir) {
  String full = Path;
  if (full.empty() || full[0] != PathDelim) {
    String base = BaseDir.empty() ? CurrentFolder() : ExpandDialogPath(BaseDir);
    full = IncludeTrailingPathDelimiter(base) + full;
  }
  std::vector<String> segments;
  for (const String& segment : SplitAt(full, PathDelim)) {
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
  }
  String result;
  for (const String& s : segments) result += PathDelim + s;
  return result.empty() ? String(1, PathDelim) : result;
}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(MakeOwned<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

void TOpenDialog::SetDefaultExt(const String& Value) {
  FDefaultExt = !Value.empty() && Value[0] == '.' ? Value.substr(1) : Value;
}

String TOpenDialog::StartFolder() const {
  if (!FInitialDir.empty() && DirectoryExists(ExpandDialogPath(FInitialDir))) return ExpandDialogPath(FInitialDir);
  String fileDir = ExtractFileDir(FFileName);
  if (!fileDir.empty() && DirectoryExists(ExpandDialogPath(fileDir))) return ExpandDialogPath(fileDir);
  return CurrentFolder();
}

String TOpenDialog::CheckFileName(const String& Name, const String& Folder) {
  String trimmed = Trim(Name);
  if (trimmed.empty() || IsWildcard(trimmed)) return "";
  String full = ExpandDialogPath(trimmed, Folder);
  if (DirectoryExists(full)) return "";
  if (!FDefaultExt.empty() && ExtractFileExt(full).empty()) full += "." + FDefaultExt;
  bool mustExist = FOptions & ofFileMustExist;
  if ((mustExist || (FOptions & ofPathMustExist)) && !DirectoryExists(ExtractFileDir(full))) {
    MessageDlg(Format(LoadResString(&SPathNotFound), {full}), mtWarning, mbOKOnly, 0);
    return "";
  }
  if (mustExist && !FileExists(full)) {
    MessageDlg(Format(LoadResString(&SFileNotFound), {full}), mtWarning, mbOKOnly, 0);
    return "";
  }
  if (IsSaveDialog() && (FOptions & ofOverwritePrompt) && FileExists(full) &&
      MessageDlg(Format(LoadResString(&SReplaceFile), {full}), mtWarning, mbYesNo, 0) != mrYes)
    return "";
  return full;
}

bool TOpenDialog::AcceptFileNames(const std::vector<String>& Names, const String& Folder) {
  std::vector<String> accepted;
  for (const String& name : Names) {
    String full = CheckFileName(name, Folder);
    if (full.empty()) return false;
    accepted.push_back(full);
  }
  if (accepted.empty()) return false;
  FFileName = accepted.front();
  FFiles->Clear();
  for (const String& full : accepted) FFiles->Add(full);
  return true;
}

String TOpenDialog::NextEnvironmentAnswer() { return NextDialogAnswer("QJ_FILEDIALOG_ANSWERS", ';'); }

bool TOpenDialog::TakeEnvironmentAnswer(const String& Answer) {
  FFileName = Answer;
  return true;
}

bool TOpenDialog::Execute() {
  String folder = StartFolder();
  switch (AnswerHeadless()) {
    case daCancel: return false;
    case daOk: return AcceptFileName(FFileName, folder);
    case daShow: break;
  }
  TOwned<TFileDialogForm> form(New<TFileDialogForm>(this, folder, IsSaveDialog()));
  return ShowDialogForm(form.get()) == mrOk;
}
