// The classic edit mask: each mask character stands for one position of the text (a required
// or optional digit, letter, letter-or-digit or any character, or a literal). Every string
// compiles; the mask answers what the blank template looks like, how a text fills it, which
// text the value keeps and whether a text is complete.
#pragma once

#include <vector>

#include "platform/rtl/System.h"

// How an editable position converts the characters it tests.
enum TqvStandardMaskCaseControl : Byte { smcUpperCase = 0, smcLowerCase = 1, smcNone = 2 };

class TqvStandardMaskCustomItem : public TObject {
  QJ_CLASS(TqvStandardMaskCustomItem, TObject)
 public:
  // Whether the position takes ch; an editable position also converts ch's case in place.
  virtual bool Matches(char& ch) const = 0;
};

class TqvStandardMaskLiteralItem : public TqvStandardMaskCustomItem {
  QJ_CLASS(TqvStandardMaskLiteralItem, TqvStandardMaskCustomItem)
 public:
  explicit TqvStandardMaskLiteralItem(char ALiteral) : FLiteral(ALiteral) {}
  char GetLiteral() const { return FLiteral; }
  bool Matches(char& ch) const override { return ch == FLiteral; }

 private:
  char FLiteral;
};

// An editable position. The acceptance test sees the character as typed; the conversion
// (ASCII letters only) happens whether or not the position accepts it.
class TqvStandardMaskManyItem : public TqvStandardMaskCustomItem {
  QJ_CLASS(TqvStandardMaskManyItem, TqvStandardMaskCustomItem)
 public:
  TqvStandardMaskManyItem(TqvStandardMaskCaseControl ACaseControl, bool AOptional)
      : FCaseControl(ACaseControl), FOptional(AOptional) {}
  TqvStandardMaskCaseControl GetCaseControl() const { return FCaseControl; }
  bool GetOptional() const { return FOptional; }
  bool Matches(char& ch) const override;

 protected:
  virtual bool Accepts(char ch) const = 0;

 private:
  TqvStandardMaskCaseControl FCaseControl;
  bool FOptional;
};

// 'A' to 'Z' and 'a' to 'z'.
class TqvStandardMaskAlphaItem : public TqvStandardMaskManyItem {
  QJ_CLASS(TqvStandardMaskAlphaItem, TqvStandardMaskManyItem)
 public:
  using TqvStandardMaskManyItem::TqvStandardMaskManyItem;

 protected:
  bool Accepts(char ch) const override;
};

// ASCII letters and digits.
class TqvStandardMaskAlphaNumericItem : public TqvStandardMaskManyItem {
  QJ_CLASS(TqvStandardMaskAlphaNumericItem, TqvStandardMaskManyItem)
 public:
  using TqvStandardMaskManyItem::TqvStandardMaskManyItem;

 protected:
  bool Accepts(char ch) const override;
};

// Every character.
class TqvStandardMaskASCIIItem : public TqvStandardMaskManyItem {
  QJ_CLASS(TqvStandardMaskASCIIItem, TqvStandardMaskManyItem)
 public:
  using TqvStandardMaskManyItem::TqvStandardMaskManyItem;

 protected:
  bool Accepts(char) const override { return true; }
};

class TqvStandardMaskNumericItem : public TqvStandardMaskManyItem {
  QJ_CLASS(TqvStandardMaskNumericItem, TqvStandardMaskManyItem)
 public:
  using TqvStandardMaskManyItem::TqvStandardMaskManyItem;

 protected:
  bool Accepts(char ch) const override;
};

// A digit or a sign; always optional.
class TqvStandardMaskNumericSymbolItem : public TqvStandardMaskManyItem {
  QJ_CLASS(TqvStandardMaskNumericSymbolItem, TqvStandardMaskManyItem)
 public:
  explicit TqvStandardMaskNumericSymbolItem(TqvStandardMaskCaseControl ACaseControl)
      : TqvStandardMaskManyItem(ACaseControl, true) {}

 protected:
  bool Accepts(char ch) const override;
};

class TqvStandardMask {
 public:
  static constexpr char DefaultBlank = '_';

  // Replaces everything with the compiled AMask.
  void Compile(const String& AMask);

  const String& GetMask() const { return FMask; }
  bool GetSaveLiterals() const { return FSaveLiterals; }
  char GetBlank() const { return FBlank; }
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  const TqvStandardMaskCustomItem* GetItem(Integer AIndex) const;
  bool IsLiteral(Integer AIndex) const;

  // The literals, and the blank character at every editable position.
  String GetEmptyTemplate() const;
  // A space per editable position, and the literals while they are saved.
  String GetEmptyText() const;
  // Fills the template with the characters of AText (see the rules in the .cpp); with
  // AUseConverted the characters take the positions' case.
  void Merge(String& AText, bool AUseConverted) const;
  // The text a value keeps of a merged text.
  void GetValueForm(String& AText) const;
  // One accepted character per position; editable positions convert AText's characters.
  bool IsValid(String& AText) const;

 private:
  // Handles a ';' at AIndex; false when it is a plain literal.
  bool CompileSections(const String& AMask, size_t AIndex);
  bool IsOptionalBlank(Integer AIndex, char ch) const;
  bool IsBlankOrSpace(char ch) const { return ch == FBlank || ch == ' '; }

  String FMask;
  bool FSaveLiterals = true;
  char FBlank = DefaultBlank;
  std::vector<TOwned<TqvStandardMaskCustomItem>> FItems;
};
