// Variant storage, type tests, arrays and the error helpers.
#include "platform/rtl/Variants.h"

#include "platform/rtl/VariantsPrivate.h"

namespace {

const TResourceString SVarTypeCouldNotConvert = {65201, "Could not convert variant of type (%s) into type (%s)"};
const TResourceString SVarTypeConvertOverflow = {65202, "Overflow while converting variant of type (%s) into type (%s)"};
const TResourceString SVarInvalidOp = {65203, "Invalid variant operation"};
const TResourceString SVarBadType = {65204, "Invalid variant type"};
const TResourceString SVarArrayBounds = {65205, "Variant or safe array index out of bounds"};
const TResourceString SVarArrayCreate = {65206, "Error creating variant or safe array"};
const TResourceString SVarNotArray = {65207, "Variant is not an array"};

constexpr Int64 KInt64Max = 0x7FFFFFFFFFFFFFFFLL;
// Larger arrays are refused up front instead of exhausting memory element by element.
constexpr Int64 KMaxArrayElements = Int64(1) << 26;

[[noreturn]] void VarArrayBoundsError() { throw EVariantArrayError(&SVarArrayBounds); }
[[noreturn]] void VarArrayCreateError() { throw EVariantArrayError(&SVarArrayCreate); }

bool IsArrayElementType(TVarType type) {
  return type == varVariant || type == varBoolean || type == varString || type == varOleStr ||
         (type >= varSmallint && type <= varDate) || IsOrdinalType(type);
}

const char* BaseTypeName(TVarType type) {
  switch (type) {
    case varEmpty: return "Empty";
    case varNull: return "Null";
    case varSmallint: return "Smallint";
    case varInteger: return "Integer";
    case varSingle: return "Single";
    case varDouble: return "Double";
    case varCurrency: return "Currency";
    case varDate: return "Date";
    case varOleStr: return "OleStr";
    case 0x0009: return "Dispatch";
    case 0x000A: return "Error";
    case varBoolean: return "Boolean";
    case varVariant: return "Variant";
    case 0x000D: return "Unknown";
    case 0x000E: return "Decimal";
    case varShortInt: return "ShortInt";
    case varByte: return "Byte";
    case varWord: return "Word";
    case varLongWord: return "LongWord";
    case varInt64: return "Int64";
    case varString: return "String";
    default: return nullptr;
  }
}

const TVarArrayData& ArrayOf(const Variant& v) {
  if (!v.IsArray()) throw EVariantArrayError(&SVarNotArray);
  return TVarAccess::Array(v);
}

void CheckDimension(Integer dim) {
  if (dim != 1) VarArrayBoundsError();
}

std::size_t ElementSlot(const TVarArrayData& data, Integer index) {
  if (index < data.LowBound || index > data.HighBound()) VarArrayBoundsError();
  return static_cast<std::size_t>(static_cast<Int64>(index) - data.LowBound);
}

// The value a new element of a typed array starts with.
Variant ZeroOfType(TVarType type) {
  if (type == varVariant) return Variant();
  return VarAsType(Variant(), type);
}

// Number of elements between the bounds, or -1 when they are unusable.
Int64 ElementCount(Integer lowBound, Integer highBound) {
  Int64 count = static_cast<Int64>(highBound) - lowBound + 1;
  return count < 0 || count > KMaxArrayElements ? -1 : count;
}

}  // namespace

QJ_IMPLEMENT_CLASS(EVariantOverflowError)
QJ_IMPLEMENT_CLASS(EVariantInvalidOpError)
QJ_IMPLEMENT_CLASS(EVariantBadVarTypeError)

// ---------------------------------------------------------------------------------------------
// Errors

void VarCastError(TVarType from, TVarType to) {
  throw EVariantTypeCastError(&SVarTypeCouldNotConvert, {VarTypeAsText(from), VarTypeAsText(to)});
}

void VarOverflowError(TVarType from, TVarType to) {
  throw EVariantOverflowError(&SVarTypeConvertOverflow, {VarTypeAsText(from), VarTypeAsText(to)});
}

void VarInvalidOpError() { throw EVariantInvalidOpError(&SVarInvalidOp); }
void VarBadTypeError() { throw EVariantBadVarTypeError(&SVarBadType); }

// ---------------------------------------------------------------------------------------------
// Storage

Variant::Variant(unsigned long v) noexcept : FType(varInt64), FInt(0) {
  if (v > static_cast<unsigned long>(KInt64Max)) {
    FType = varDouble;
    FDouble = static_cast<double>(v);
  } else {
    FInt = static_cast<Int64>(v);
  }
}

Variant::Variant(unsigned long long v) noexcept : Variant(static_cast<unsigned long>(v)) {}

Variant::Variant(const Variant& other) : FType(varEmpty), FInt(0) { CopyFrom(other); }

Variant::Variant(Variant&& other) noexcept : FType(varEmpty), FInt(0) { MoveFrom(other); }

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    Variant copy(other);
    Clear();
    MoveFrom(copy);
  }
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    Clear();
    MoveFrom(other);
  }
  return *this;
}

void Variant::ReleasePayload() noexcept {
  switch (FType) {
    case varString: FStr.~String(); break;
    case varOleStr: FWStr.~WideString(); break;
    case varArray: FArray.~shared_ptr(); break;
    default: break;
  }
  FType = varEmpty;
  FInt = 0;
}

void Variant::Clear() {
  if (HoldsPayload()) ReleasePayload();
  FType = varEmpty;
  FInt = 0;
}

void Variant::CopyFrom(const Variant& other) {
  switch (other.FType) {
    case varString: new (&FStr) String(other.FStr); break;
    case varOleStr: new (&FWStr) WideString(other.FWStr); break;
    case varArray: new (&FArray) std::shared_ptr<TVarArrayData>(other.FArray); break;
    default: FInt = other.FInt; break;
  }
  FType = other.FType;
}

void Variant::MoveFrom(Variant& other) noexcept {
  switch (other.FType) {
    case varString: new (&FStr) String(std::move(other.FStr)); break;
    case varOleStr: new (&FWStr) WideString(std::move(other.FWStr)); break;
    case varArray: new (&FArray) std::shared_ptr<TVarArrayData>(std::move(other.FArray)); break;
    default: FInt = other.FInt; break;
  }
  FType = other.FType;
  other.Clear();
}

Variant Variant::Null() {
  Variant v;
  v.FType = varNull;
  return v;
}

Variant Variant::FromDateTime(TDateTime d) { return FromRawDouble(varDate, d); }

Variant Variant::FromRaw(TVarType type, Int64 raw) {
  Variant v;
  v.FType = type;
  v.FInt = type == varBoolean ? (raw != 0 ? 1 : 0) : raw;
  return v;
}

Variant Variant::FromRawDouble(TVarType type, double raw) {
  Variant v;
  v.FType = type;
  v.FDouble = raw;
  return v;
}

TVarType Variant::VarType() const {
  return FType == varArray ? static_cast<TVarType>(varArray | FArray->ElemType) : FType;
}

// ---------------------------------------------------------------------------------------------
// Arrays (shared until the first write)

Variant Variant::CreateArray(Integer lowBound, Integer highBound, TVarType elemType) {
  if (!IsArrayElementType(elemType)) VarBadTypeError();
  Int64 count = ElementCount(lowBound, highBound);
  if (count < 0) VarArrayCreateError();
  auto data = std::make_shared<TVarArrayData>();
  data->LowBound = lowBound;
  data->ElemType = elemType;
  data->Items.assign(static_cast<std::size_t>(count), ZeroOfType(elemType));
  Variant v;
  new (&v.FArray) std::shared_ptr<TVarArrayData>(std::move(data));
  v.FType = varArray;
  return v;
}

TVarArrayData& Variant::MutableArray() {
  ArrayOf(*this);
  if (FArray.use_count() > 1) FArray = std::make_shared<TVarArrayData>(*FArray);
  return *FArray;
}

Integer Variant::ArrayLowBound() const { return ArrayOf(*this).LowBound; }
Integer Variant::ArrayHighBound() const { return ArrayOf(*this).HighBound(); }

Variant Variant::GetElement(Integer index) const {
  const TVarArrayData& data = ArrayOf(*this);
  return data.Items[ElementSlot(data, index)];
}

void Variant::SetElement(Integer index, const Variant& value) {
  const TVarArrayData& shared = ArrayOf(*this);
  std::size_t slot = ElementSlot(shared, index);
  Variant stored = shared.ElemType == varVariant ? value : VarAsType(value, shared.ElemType);
  MutableArray().Items[slot] = std::move(stored);
}

void Variant::RedimArray(Integer highBound) {
  const TVarArrayData& shared = ArrayOf(*this);
  Int64 count = ElementCount(shared.LowBound, highBound);
  if (count < 0) VarArrayCreateError();
  Variant zero = ZeroOfType(shared.ElemType);
  MutableArray().Items.resize(static_cast<std::size_t>(count), zero);
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  return VarArrayOf(std::vector<Variant>(values));
}

Variant VarArrayOf(const std::vector<Variant>& values) {
  Variant result = Variant::CreateArray(0, static_cast<Integer>(values.size()) - 1, varVariant);
  for (std::size_t i = 0; i < values.size(); ++i)
    result.SetElement(static_cast<Integer>(i), values[i]);
  return result;
}

Variant VarArrayCreate(Integer lowBound, Integer highBound, TVarType elemType) {
  return Variant::CreateArray(lowBound, highBound, elemType);
}

Integer VarArrayDimCount(const Variant& v) { return v.IsArray() ? 1 : 0; }

Integer VarArrayLowBound(const Variant& v, Integer dim) {
  const TVarArrayData& data = ArrayOf(v);
  CheckDimension(dim);
  return data.LowBound;
}

Integer VarArrayHighBound(const Variant& v, Integer dim) {
  const TVarArrayData& data = ArrayOf(v);
  CheckDimension(dim);
  return data.HighBound();
}

Variant VarArrayGet(const Variant& v, Integer index) { return v.GetElement(index); }
void VarArrayPut(Variant& v, const Variant& value, Integer index) { v.SetElement(index, value); }
void VarArrayRedim(Variant& v, Integer highBound) { v.RedimArray(highBound); }

// ---------------------------------------------------------------------------------------------
// Type tests

bool IsOrdinalType(TVarType type) {
  switch (type) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}

TVarClass VarClassOf(const Variant& v) {
  TVarType type = TVarAccess::Stored(v);
  if (IsOrdinalType(type)) return TVarClass::Ordinal;
  switch (type) {
    case varEmpty: return TVarClass::Empty;
    case varNull: return TVarClass::Null;
    case varBoolean: return TVarClass::Boolean;
    case varSingle:
    case varDouble: return TVarClass::Float;
    case varCurrency: return TVarClass::Currency;
    case varDate: return TVarClass::Date;
    case varString:
    case varOleStr: return TVarClass::Text;
    default: return TVarClass::Array;
  }
}

Variant Null() { return Variant::Null(); }
Variant Unassigned() { return Variant(); }

TVarType VarType(const Variant& v) { return v.VarType(); }
bool VarIsNull(const Variant& v) { return v.IsNull(); }
bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
bool VarIsClear(const Variant& v) { return v.IsEmpty(); }
bool VarIsArray(const Variant& v) { return v.IsArray(); }

bool VarIsOrdinal(const Variant& v) {
  TVarClass c = VarClassOf(v);
  return c == TVarClass::Ordinal || c == TVarClass::Boolean;
}

bool VarIsFloat(const Variant& v) {
  TVarClass c = VarClassOf(v);
  return c == TVarClass::Float || c == TVarClass::Currency;
}

bool VarIsNumeric(const Variant& v) { return VarIsOrdinal(v) || VarIsFloat(v); }
bool VarIsStr(const Variant& v) { return VarClassOf(v) == TVarClass::Text; }

String VarTypeAsText(TVarType type) {
  String prefix = (type & varArray) ? "Array " : "";
  TVarType base = type & varTypeMask;
  const char* name = BaseTypeName(base);
  return prefix + (name ? String(name) : "$" + IntToHex(base, 4));
}
