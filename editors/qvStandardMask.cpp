#include "editors/qvStandardMask.h"

#include <algorithm>

#include "core/qvClasses.h"
#include "platform/rtl/ClassesConsts.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TqvStandardMaskCustomItem)
QJ_IMPLEMENT_CLASS(TqvStandardMaskLiteralItem)
QJ_IMPLEMENT_CLASS(TqvStandardMaskManyItem)
QJ_IMPLEMENT_CLASS(TqvStandardMaskAlphaItem)
QJ_IMPLEMENT_CLASS(TqvStandardMaskAlphaNumericItem)
QJ_IMPLEMENT_CLASS(TqvStandardMaskASCIIItem)
QJ_IMPLEMENT_CLASS(TqvStandardMaskNumericItem)
QJ_IMPLEMENT_CLASS(TqvStandardMaskNumericSymbolItem)

namespace {


char ConvertCase(char ch, TqvStandardMaskCaseControl ACaseControl) {
  switch (ACaseControl) {
    case smcUpperCase: return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
    case smcLowerCase: return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
    default: return ch;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Positions

bool TqvStandardMaskManyItem::Matches(char& ch) const {
  bool accepted = Accepts(ch);
  ch = ConvertCase(ch, FCaseControl);
  return accepted;
}

bool TqvStandardMaskAlphaItem::Accepts(char ch) const { return IsAsciiLetter(ch); }

bool TqvStandardMaskAlphaNumericItem::Accepts(char ch) const { return IsAsciiLetter(ch) || IsDigitChar(ch); }

bool TqvStandardMaskNumericItem::Accepts(char ch) const { return IsDigitChar(ch); }

bool TqvStandardMaskNumericSymbolItem::Accepts(char ch) const { return IsDigitChar(ch) || ch == '+' || ch == '-'; }

// ---------------------------------------------------------------------------------------------
// Compiling

namespace {

// The editable position a mask character stands for; nullptr for any other character.
TOwned<TqvStandardMaskCustomItem> MakeEditableItem(char AMaskChar, TqvStandardMaskCaseControl ACase) {
  switch (AMaskChar) {
    case 'L': return MakeOwned<TqvStandardMaskAlphaItem>(ACase, false);
    case 'l': return MakeOwned<TqvStandardMaskAlphaItem>(ACase, true);
    case 'A': return MakeOwned<TqvStandardMaskAlphaNumericItem>(ACase, false);
    case 'a': return MakeOwned<TqvStandardMaskAlphaNumericItem>(ACase, true);
    case 'C': return MakeOwned<TqvStandardMaskASCIIItem>(ACase, false);
    case 'c': return MakeOwned<TqvStandardMaskASCIIItem>(ACase, true);
    case '0': return MakeOwned<TqvStandardMaskNumericItem>(ACase, false);
    case '9': return MakeOwned<TqvStandardMaskNumericItem>(ACase, true);
    case '#': return MakeOwned<TqvStandardMaskNumericSymbolItem>(ACase);
    default: return nullptr;
  }
}

TOwned<TqvStandardMaskCustomItem> MakeLiteral(char ALiteral) {
  return MakeOwned<TqvStandardMaskLiteralItem>(ALiteral);
}

}  // namespace

void TqvStandardMask::Compile(const String& AMask) {
  FMask = AMask;
  FSaveLiterals = true;
  FBlank = DefaultBlank;
  FItems.clear();
  TqvStandardMaskCaseControl caseControl = smcNone;
  size_t i = !AMask.empty() && AMask[0] == '!' ? 1 : 0;  // a leading '!' has no further effect
  for (; i < AMask.size(); ++i) {
    char c = AMask[i];
    if (TOwned<TqvStandardMaskCustomItem> item = MakeEditableItem(c, caseControl)) {
      FItems.push_back(std::move(item));
      continue;
    }
    switch (c) {
      case '/':
        FItems.push_back(MakeLiteral(FormatSettings().DateSeparator));
        break;
      case ':':
        FItems.push_back(MakeLiteral(FormatSettings().TimeSeparator));
        break;
      case '\\':
        if (++i < AMask.size()) FItems.push_back(MakeLiteral(AMask[i]));
        break;
      case '>':
        caseControl = smcUpperCase;
        break;
      case '<':
        if (i + 1 < AMask.size() && AMask[i + 1] == '>') {
          caseControl = smcNone;
          ++i;
        } else {
          caseControl = smcLowerCase;
        }
        break;
      case ';':
        if (CompileSections(AMask, i)) return;
        FItems.push_back(MakeLiteral(c));
        break;
      default:
        FItems.push_back(MakeLiteral(c));
        break;
    }
  }
}

// "d;b" (save literals when d is '1', blank b) or "d" alone ends the mask; d is '0' or '1'.
bool TqvStandardMask::CompileSections(const String& AMask, size_t AIndex) {
  size_t rest = AMask.size() - AIndex - 1;
  char d = rest > 0 ? AMask[AIndex + 1] : 0;
  if (d != '0' && d != '1') return false;
  if (rest == 3 && AMask[AIndex + 2] == ';') {
    FSaveLiterals = d != '0';
    FBlank = AMask[AIndex + 3];
    return true;
  }
  if (rest == 1) {
    FSaveLiterals = d != '0';
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Texts

const TqvStandardMaskCustomItem* TqvStandardMask::GetItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) RaiseResourceError<EListError>(&SListIndexError, {AIndex});
  return FItems[AIndex].get();
}

bool TqvStandardMask::IsLiteral(Integer AIndex) const {
  return GetItem(AIndex)->IsExactly<TqvStandardMaskLiteralItem>();
}

bool TqvStandardMask::IsOptionalBlank(Integer AIndex, char ch) const {
  const auto* editable = As<TqvStandardMaskManyItem>(FItems[AIndex].get());
  return editable && editable->GetOptional() && IsBlankOrSpace(ch);
}

String TqvStandardMask::GetEmptyTemplate() const {
  String text;
  for (const auto& item : FItems) {
    const auto* literal = As<TqvStandardMaskLiteralItem>(item.get());
    text += literal ? literal->GetLiteral() : FBlank;
  }
  return text;
}

String TqvStandardMask::GetEmptyText() const {
  String text;
  for (const auto& item : FItems) {
    const auto* literal = As<TqvStandardMaskLiteralItem>(item.get());
    if (!literal)
      text += ' ';
    else if (FSaveLiterals)
      text += literal->GetLiteral();
  }
  return text;
}

// Each character of the text goes to the first unfilled position that takes it; the case a
// position gives it is what the later positions test. A blank or a space fills the first
// unfilled editable position with the blank. Literals of the text are taken by their own
// positions; a character that no position takes is dropped.
void TqvStandardMask::Merge(String& AText, bool AUseConverted) const {
  String result = GetEmptyTemplate();
  std::vector<bool> filled(FItems.size(), false);
  for (char original : AText) {
    char c = original;
    for (size_t i = 0; i < FItems.size(); ++i) {
      if (filled[i]) continue;
      if (FItems[i]->Matches(c)) {
        result[i] = AUseConverted ? c : original;
        filled[i] = true;
        break;
      }
      if (IsBlankOrSpace(c) && !IsLiteral(static_cast<Integer>(i))) {
        filled[i] = true;
        break;
      }
    }
  }
  AText = result;
}

void TqvStandardMask::GetValueForm(String& AText) const {
  String result;
  size_t count = std::min(AText.size(), FItems.size());
  for (size_t i = 0; i < count; ++i) {
    if (IsLiteral(static_cast<Integer>(i))) {
      if (FSaveLiterals) result += AText[i];
    } else {
      result += AText[i] == FBlank ? ' ' : AText[i];
    }
  }
  AText = result;
}

bool TqvStandardMask::IsValid(String& AText) const {
  if (AText.size() != FItems.size()) return false;
  for (size_t i = 0; i < FItems.size(); ++i)
    if (!FItems[i]->Matches(AText[i]) && !IsOptionalBlank(static_cast<Integer>(i), AText[i])) return false;
  return true;
}
