#include "catalogue/PartslibraryList.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <unordered_set>

#include "catalogue/HostSettings.h"
#include "catalogue/UrlResolver.h"
#include "common/IsOldDialogEnabled.h"
#include "common/ModuleLocalizer.h"
#include "geo/XmlElem.h"
#include "util/FileSystem.h"
#include "util/Localizer.h"
#include "util/PathParts.h"
#include "util/SafeFileWriter.h"
#include "util/Symbol.h"

namespace oxsymbols {

namespace {

using oxk::illustration::SequencerTag;

constexpr char SEP = util::FileSpec::DIR_SEP_CHAR;

// Frozen: folder and file names of the library on disk.
const char* const kLibraryFolder = "SymbolsLibrary";
const char* const kStandardPrefix = "SymbolsLibrary/standard";
const char* const kSharedSuffix = "/SymbolsLibrary";
const char* const kStandardFolder = "standard";
const char* const kImageFolder = "2D";
const char* const kShapeFolder = "Shape";
const char* const kLibraryFile = "PartSymbolLibrary.xml";
const char* const kLibraryBaseName = "PartSymbolLibrary";
const char* const kLibraryExtension = "xml";

// Frozen: element and attribute names of the library file format. Interned once, so
// the reader compares element names by address.
const util::Symbol kRoot("orbis-library");
const util::Symbol kUnits("units");
const util::Symbol kInformation("information");
const util::Symbol kCategories("categories");
const util::Symbol kShapes("shapes");
const util::Symbol kSymbols("symbols");
const util::Symbol kCategory("category");
const util::Symbol kShape("shape");
const util::Symbol kSymbol("symbol");
const util::Symbol kName("name");
const util::Symbol kTitle("title");
const util::Symbol kTooltip("tooltip");
const util::Symbol kDescription("description");
const util::Symbol kShowTooltipTitle("showTooltipTitle");
const util::Symbol kShowTooltipDescription("showTooltipDescription");
const util::Symbol kGalleryThumbnail("gallery_thumbnail");
const util::Symbol kGraphic("graphic");
const util::Symbol kImage("image");
const util::Symbol kScale("scale");
const util::Symbol kOrientation("orientation");
const util::Symbol kShapeCsys("shape_csys");
const util::Symbol kOrientationName("orientation_name");
const util::Symbol kAxisName("axis_name");
const util::Symbol kDistanceFromCsys("distance_from_csys");
const util::Symbol kAxisId("axis_id");
const util::Symbol kAnnotationToSymbol("annotation_to_symbol");
const util::Symbol kUseCurrentOrientation("use_current_orientation");
const util::Symbol kEditCsysMethod("edit_csys_method");
const util::Symbol kTags("tags");
const util::Symbol kTag("tag");
const util::Symbol kQuantity("quantity");
const util::Symbol kCamera("camera");
const util::Symbol kFlip("flip");
const util::Symbol kRotate("rotate");
const char* const kLocIdAttr = "locid";
const char* const kCsysAttrs[9] = {"a", "b", "c", "d", "e", "f", "g", "h", "i"};

// Identifiers are plain ints in the file format; one past INT_MAX wraps instead of
// overflowing, as the stored identifiers would on any host.
int NextId(int id) {
  return static_cast<int>(static_cast<unsigned>(id) + 1u);
}

template <class List>
int LargestIdFromZero(const List& list) {
  int largest = 0;
  for (const auto& entry : list) {
    if (entry && entry->GetID() > largest) {
      largest = entry->GetID();
    }
  }
  return largest;
}

// The clash rule of the add operations by a plain scan: a taken identifier becomes the
// largest one in use plus one.
template <class List>
int ResolveIdByScan(const List& list, int id) {
  bool taken = false;
  bool any = false;
  int largest = 0;
  for (const auto& entry : list) {
    if (!entry) {
      continue;
    }
    const int existing = entry->GetID();
    taken = taken || existing == id;
    if (!any || existing > largest) {
      largest = existing;
      any = true;
    }
  }
  return taken ? NextId(largest) : id;
}

template <class List, class Item = typename List::value_type>
Item FindById(const List& list, int id) {
  for (const auto& entry : list) {
    if (entry && entry->GetID() == id) {
      return entry;
    }
  }
  return Item();
}

template <class List>
void EraseFirstWithId(List& list, int id) {
  auto found =
      std::find_if(list.begin(), list.end(), [id](const auto& entry) { return entry && entry->GetID() == id; });
  if (found != list.end()) {
    list.erase(found);
  }
}

std::string Localized(const std::string& key) {
  return oxcommon::ModuleLocalizer().LocalizeMessage(key, util::Localizer::kReturnKey);
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Decimal integer as a stream extracts it: leading blanks skipped, stops at the first
// character that cannot continue the number, 0 without a number, clamped on overflow.
int ExtractInt(const char* text) {
  while (IsBlank(*text)) {
    ++text;
  }
  bool negative = false;
  if (*text == '+' || *text == '-') {
    negative = *text == '-';
    ++text;
  }
  if (!IsDigit(*text)) {
    return 0;
  }
  int64_t value = 0;
  bool overflow = false;
  for (; IsDigit(*text); ++text) {
    if (!overflow) {
      value = value * 10 + (*text - '0');
      overflow = value > static_cast<int64_t>(INT_MAX) + 1;
    }
  }
  if (negative) {
    return overflow || -value < INT_MIN ? INT_MIN : static_cast<int>(-value);
  }
  return overflow || value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// A real number as a stream extracts it: sign, digits, fraction, exponent; 0 when the
// text holds no complete number, the largest finite value on overflow.
double ExtractDouble(const char* text) {
  while (IsBlank(*text)) {
    ++text;
  }
  const char* begin = text;
  const char* cursor = text;
  if (*cursor == '+' || *cursor == '-') {
    ++cursor;
  }
  bool digits = false;
  for (; IsDigit(*cursor); ++cursor) {
    digits = true;
  }
  if (*cursor == '.') {
    for (++cursor; IsDigit(*cursor); ++cursor) {
      digits = true;
    }
  }
  if (!digits) {
    return 0.0;
  }
  if (*cursor == 'e' || *cursor == 'E') {
    ++cursor;
    if (*cursor == '+' || *cursor == '-') {
      ++cursor;
    }
    if (!IsDigit(*cursor)) {
      return 0.0;  // a dangling exponent fails the whole extraction
    }
    while (IsDigit(*cursor)) {
      ++cursor;
    }
  }
  const char* start = *begin == '+' ? begin + 1 : begin;
  double value = 0.0;
  const auto [end, error] = std::from_chars(start, cursor, value);
  if (error == std::errc::result_out_of_range) {
    const std::string token(start, cursor);
    value = std::strtod(token.c_str(), nullptr);
    if (std::abs(value) == std::numeric_limits<double>::infinity()) {
      value = std::copysign(std::numeric_limits<double>::max(), value);
    }
    return value;
  }
  return error == std::errc() && end == cursor ? value : 0.0;
}

// The attributes of one element, read in one pass. A lookup gives the first attribute
// of the name, as FindAttribute does; an element with very many is asked directly.
class Attributes {
 public:
  explicit Attributes(const geo::XmlElem* elem) : m_elem(elem), m_count(elem->GetAttributes(m_items, kMax)) {}

  // The decoded text of the attribute, or null when the element has none of the name.
  [[nodiscard]] const char* Find(const char* name) const {
    if (m_count > kMax) {
      const size_t index = m_elem->FindAttribute(name);
      return index == geo::XmlElem::npos ? nullptr : m_elem->GetAttributeText(index);
    }
    for (size_t i = 0; i < m_count; ++i) {
      if (m_items[i].name[0] == name[0] && std::strcmp(m_items[i].name, name) == 0) {
        return m_items[i].value;
      }
    }
    return nullptr;
  }

 private:
  static constexpr size_t kMax = 16;
  const geo::XmlElem* m_elem;
  geo::XmlAttribute m_items[kMax];
  size_t m_count;
};

template <class T, class Parse>
T TypedAttribute(const Attributes& attributes, const char* name, T fallback, Parse parse) {
  const char* text = attributes.Find(name);
  T value = fallback;
  if (text == nullptr || !parse(text, value)) {
    return fallback;
  }
  return value;
}

int IntAttribute(const Attributes& attributes, const char* name, int fallback) {
  return TypedAttribute<int32_t>(attributes, name, fallback, geo::ParseXmlInt);
}

bool BoolAttribute(const Attributes& attributes, const char* name, bool fallback) {
  return TypedAttribute<bool>(attributes, name, fallback, geo::ParseXmlBool);
}

float FloatAttribute(const Attributes& attributes, const char* name, float fallback) {
  return TypedAttribute<float>(attributes, name, fallback, geo::ParseXmlFloat);
}

double DoubleAttribute(const Attributes& attributes, const char* name, double fallback) {
  return TypedAttribute<double>(attributes, name, fallback, geo::ParseXmlDouble);
}

// An element's text, or the message text of its "locid" key when it has one.
std::string TextOrLocalized(const geo::XmlElem* elem) {
  if (const char* key = Attributes(elem).Find(kLocIdAttr)) {
    return Localized(key);
  }
  return elem->GetTextRaw();
}

template <class Entry>
void ReadTags(const geo::XmlElem* tags, Entry& entry) {
  for (size_t i = 0; i < tags->GetNumChildren(); ++i) {
    const geo::XmlElem* tagElem = tags->GetChild(i);
    if (tagElem->GetName() != kTag) {
      continue;
    }
    util::SmartPtr<SequencerTag> tag(new SequencerTag());
    tag->SetName(entry.GetName());
    if (const char* type = Attributes(tagElem).Find("type")) {
      tag->SetType(SequencerTag::GetTypeForSymbol(util::Symbol(type)));
    }
    for (size_t j = 0; j < tagElem->GetNumChildren(); ++j) {
      const geo::XmlElem* child = tagElem->GetChild(j);
      if (child->GetName() == kDescription) {
        tag->SetDescription(TextOrLocalized(child));
      } else if (child->GetName() == kQuantity) {
        const Attributes attributes(child);
        if (const char* locid = attributes.Find(kLocIdAttr)) {
          tag->SetUnits(Localized(locid));
        } else if (const char* unit = attributes.Find("unit")) {
          tag->SetUnits(unit);
        }
        tag->SetQuantityString(child->GetTextRaw());
      }
    }
    entry.AddSequencerTag(tag);
  }
}

// Children both entry kinds share; false when the child is none of them.
template <class Entry>
bool ReadCommonChild(const geo::XmlElem* child, Entry& entry) {
  const util::Symbol& name = child->GetName();
  if (name == kName) {
    entry.SetName(TextOrLocalized(child));
  } else if (name == kTitle) {
    entry.SetTitle(TextOrLocalized(child));
  } else if (name == kShowTooltipTitle) {
    entry.SetShowTooltipTitle(child->GetTextAsBool());
  } else if (name == kDescription) {
    entry.SetDescription(TextOrLocalized(child));
  } else if (name == kShowTooltipDescription) {
    entry.SetShowTooltipDescription(child->GetTextAsBool());
  } else if (name == kTags) {
    ReadTags(child, entry);
  } else {
    return false;
  }
  return true;
}

// A missing matrix or position attribute keeps the identity's value for that place.
geo::Location ReadCsys(const geo::XmlElem* elem) {
  const Attributes attributes(elem);
  float m[9];
  for (int i = 0; i < 9; ++i) {
    m[i] = FloatAttribute(attributes, kCsysAttrs[i], geo::FMat33::IDENTITY.Get(i / 3, i % 3));
  }
  const geo::DPoint3D pos(DoubleAttribute(attributes, "pos_x", 0.0), DoubleAttribute(attributes, "pos_y", 0.0),
                          DoubleAttribute(attributes, "pos_z", 0.0));
  return geo::Location(geo::FMat33(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8]), pos);
}

// The camera counts only with all three attributes present.
void ReadCamera(const geo::XmlElem* elem, PartslibraryOlItem& ol) {
  const Attributes attributes(elem);
  const char* ortho = attributes.Find("ortho");
  const char* value = attributes.Find("value");
  const char* location = attributes.Find("location");
  if (ortho == nullptr || value == nullptr || location == nullptr) {
    return;
  }
  bool orthographic = false;
  double number = 0.0;
  geo::Location place;
  (void)geo::ParseXmlBool(ortho, orthographic);
  (void)geo::ParseXmlDouble(value, number);
  (void)geo::ParseXmlLocation(location, place);
  ol.SetCameraData(orthographic, number, place);
}

// The gallery thumbnail url, with capacity for the dialog's longer size marker so that
// deriving the dialog url does not allocate again.
std::string CopyWithRoomForLargeMarker(const std::string& gallery) {
  std::string copy;
  copy.reserve(gallery.size() + 2);
  copy = gallery;
  return copy;
}

util::SmartPtr<PartslibraryOlItem> ReadOl(const geo::XmlElem* elem, bool isShared, bool isStandard,
                                          const detail::UrlResolver& urls) {
  util::SmartPtr<PartslibraryOlItem> ol(new PartslibraryOlItem(isShared, isStandard));
  if (elem->GetName() == kShape) {
    const Attributes attributes(elem);
    ol->SetID(IntAttribute(attributes, "id", 0));
    ol->SetCategoryID(IntAttribute(attributes, "categoryId", 0));
  }
  ol->SetShowTooltipTitle(true);
  ol->SetShowTooltipDescription(false);
  std::string url;
  for (size_t i = 0; i < elem->GetNumChildren(); ++i) {
    const geo::XmlElem* child = elem->GetChild(i);
    if (ReadCommonChild(child, *ol)) {
      continue;
    }
    const util::Symbol& name = child->GetName();
    if (name == kTooltip) {
      ol->SetOlTooltip(child->GetTextRaw());
    } else if (name == kGalleryThumbnail) {
      if (urls.ReadUrl(Attributes(child).Find("url"), url)) {
        ol->SetOlGalleryThumbnailUrl(std::move(url));
      }
    } else if (name == kGraphic) {
      if (urls.ReadUrl(Attributes(child).Find("url"), url)) {
        ol->SetOlUrl(std::move(url));
      }
    } else if (name == kScale) {
      ol->SetOlScale(ExtractDouble(child->GetTextRaw()));
    } else if (name == kOrientation) {
      ol->SetOlOrientation(ExtractInt(child->GetTextRaw()));
    } else if (name == kShapeCsys) {
      ol->SetOlCsys(ReadCsys(child));
    } else if (name == kOrientationName) {
      ol->SetOrientationName(child->GetTextRaw());
    } else if (name == kAxisName) {
      ol->SetAxisName(child->GetTextRaw());
    } else if (name == kDistanceFromCsys) {
      ol->SetDistanceFromCsys(ExtractDouble(child->GetTextRaw()));
    } else if (name == kAxisId) {
      ol->SetAxisId(ExtractInt(child->GetTextRaw()));
    } else if (name == kAnnotationToSymbol) {
      ol->SetAnnotationSymbol(child->GetTextAsBool());
    } else if (name == kUseCurrentOrientation) {
      ol->SetUseCurrentOrientation(child->GetTextAsBool());
    } else if (name == kEditCsysMethod) {
      ol->SetEditCsysMethod(ExtractInt(child->GetTextRaw()));
    } else if (name == kCamera) {
      ReadCamera(child, *ol);
    }
  }
  if (ol->GetTitle().empty()) {
    ol->SetTitle(ol->GetName());
  }
  std::string dialog = CopyWithRoomForLargeMarker(ol->GetOlGalleryThumbnailUrl());
  PartslibraryOlItem::ComputeThumbnailUrl(dialog, "64x64", "192x192");
  ol->SetOlDlgThumbnailUrl(std::move(dialog));
  return ol;
}

util::SmartPtr<PartslibraryImageItem> ReadImage(const geo::XmlElem* elem, bool isShared, bool isStandard,
                                                const detail::UrlResolver& urls) {
  util::SmartPtr<PartslibraryImageItem> image(new PartslibraryImageItem(isShared, isStandard));
  if (elem->GetName() == kSymbol) {
    const Attributes attributes(elem);
    image->SetID(IntAttribute(attributes, "id", 0));
    image->SetCategoryID(IntAttribute(attributes, "categoryId", 0));
    image->SetIsBillboardImage(BoolAttribute(attributes, "billboard", false));
  }
  image->SetShowTooltipTitle(true);
  image->SetShowTooltipDescription(false);
  std::string url;
  for (size_t i = 0; i < elem->GetNumChildren(); ++i) {
    const geo::XmlElem* child = elem->GetChild(i);
    if (ReadCommonChild(child, *image)) {
      continue;
    }
    const util::Symbol& name = child->GetName();
    if (name == kTooltip) {
      image->SetImageTooltip(child->GetTextRaw());
    } else if (name == kGalleryThumbnail) {
      if (urls.ReadUrl(Attributes(child).Find("url"), url)) {
        image->SetImageGalleryThumbnailUrl(std::move(url));
      }
    } else if (name == kImage) {
      if (urls.ReadUrl(Attributes(child).Find("url"), url)) {
        image->SetImageUrl(std::move(url));
      }
    } else if (name == kScale) {
      image->SetImageScale(ExtractInt(child->GetTextRaw()));
    } else if (name == kFlip) {
      const Attributes attributes(child);
      image->SetFlipHorizontal(BoolAttribute(attributes, "horizontal", false));
      image->SetFlipVertical(BoolAttribute(attributes, "vertical", false));
    } else if (name == kRotate) {
      const Attributes attributes(child);
      image->SetRotateRight(IntAttribute(attributes, "right", 0));
      image->SetRotateLeft(IntAttribute(attributes, "left", 0));
    }
  }
  if (image->GetTitle().empty()) {
    image->SetTitle(image->GetName());
  }
  std::string dialog = CopyWithRoomForLargeMarker(image->GetImageGalleryThumbnailUrl());
  image->ComputeDialogThumbnailUrl(dialog);
  image->SetImageDlgThumbnailUrl(std::move(dialog));
  return image;
}

std::string UpperCase(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return text;
}

// The library folder as IsUnderSymbolsLibraryPath compares it.
std::string LibraryLocationKey(const std::string& libraryPath) {
  return UpperCase(util::FileSpec(libraryPath).GetLocation(false));
}

bool IsUnderLocation(const std::string& path, const std::string& libraryLocationKey) {
  const std::string location = UpperCase(util::FileSpec(path).GetLocation(false));
  return location.size() > libraryLocationKey.size() &&
         location.compare(0, libraryLocationKey.size(), libraryLocationKey) == 0;
}

void MakeRelative(std::string& path, bool standard, size_t libraryPathLength) {
  const std::string rest = path.size() > libraryPathLength ? path.substr(libraryPathLength) : std::string();
  path = std::string(standard ? kStandardPrefix : kLibraryFolder) + SEP + rest;
}

// Numbers in the text forms a default output stream gives them.
std::string_view FormatInt(int value, char (&buffer)[32]) {
  const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
  return std::string_view(buffer, static_cast<size_t>(result.ptr - buffer));
}

std::string_view FormatReal(double value, char (&buffer)[32]) {
  const int length = std::snprintf(buffer, sizeof(buffer), "%g", value);
  return std::string_view(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

// Appends text escaped exactly as the host encoder does; most texts need no escaping
// and are appended in one piece.
void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '&' || c == '<' || c == '>' || c == '"' || c == '\'' || (byte < 0x20 && c != '\n' && c != '\t')) {
      geo::EncodeXmlStr(text, out);
      return;
    }
  }
  out.append(text);
}

std::string_view FormatBool(bool value) {
  return value ? "true" : "false";
}

// Grows a table indexed by identifier so that index is inside it, doubling at least.
template <class T>
void GrowToHold(std::vector<T>& table, size_t index) {
  if (index >= table.size()) {
    table.resize(std::max(index + 1, table.size() * 2), T{});
  }
}

}  // namespace

// Identifiers in use while a file is read: a load adds thousands of entries, and the
// add operations' clash rule would otherwise scan the whole list for each of them.
struct PartslibraryList::IdIndex {
  // Identifiers of one kind. Those in files are small and dense, so a bit each covers
  // them without an allocation per identifier; any others go to a hash set.
  class Space {
   public:
    template <class List>
    explicit Space(const List& list) {
      for (const auto& entry : list) {
        if (entry) {
          Add(entry->GetID());
        }
      }
    }
    // The identifier an incoming entry ends up with, recorded as used.
    int Resolve(int id) {
      if (Contains(id)) {
        id = NextId(m_largest);
      }
      Add(id);
      return id;
    }

   private:
    static constexpr int kDenseLimit = 1 << 24;

    [[nodiscard]] bool Contains(int id) const {
      if (id >= 0 && id < kDenseLimit) {
        const auto word = static_cast<size_t>(id) / 64;
        return word < m_bits.size() && (m_bits[word] >> (id % 64) & 1u) != 0;
      }
      return m_sparse.count(id) != 0;
    }
    void Add(int id) {
      if (!m_any || id > m_largest) {
        m_largest = id;
        m_any = true;
      }
      if (id >= 0 && id < kDenseLimit) {
        const auto word = static_cast<size_t>(id) / 64;
        GrowToHold(m_bits, word);
        m_bits[word] |= uint64_t{1} << (id % 64);
        return;
      }
      m_sparse.insert(id);
    }

    std::vector<uint64_t> m_bits;
    std::unordered_set<int> m_sparse;
    int m_largest = 0;
    bool m_any = false;
  };

  explicit IdIndex(const PartslibraryList& list)
      : categories(list.m_categories), ols(list.m_ols), images(list.m_images) {
    for (const auto& [id, category] : list.m_categoryById) {
      SetCategory(id, category.get());
    }
  }

  // Mirrors the list's category map for identifiers in a dense range, so that filing each
  // entry of a file is one look-up instead of a walk down the map. Null: look in the map.
  void SetCategory(int id, PartslibraryCategoryItem* category) {
    if (id < 0 || id >= kDenseCategories) {
      return;
    }
    const auto at = static_cast<size_t>(id);
    GrowToHold(categoryById, at);
    categoryById[at] = category;
  }
  [[nodiscard]] PartslibraryCategoryItem* FindCategory(int id) const {
    const auto at = static_cast<size_t>(id);
    return id >= 0 && at < categoryById.size() ? categoryById[at] : nullptr;
  }

  Space categories;
  Space ols;
  Space images;

 private:
  static constexpr int kDenseCategories = 1 << 16;  // at most half a megabyte of pointers
  std::vector<PartslibraryCategoryItem*> categoryById;
};

// ---- Construction and copying ----------------------------------------------------

PartslibraryList::PartslibraryList(const PartslibraryList& other)
    : util::RefCounted(other),
      m_units(other.m_units),
      m_information(other.m_information),
      m_categories(other.m_categories),
      m_categoryById(other.m_categoryById),
      m_ols(other.m_ols),
      m_images(other.m_images) {}

PartslibraryList::PartslibraryList(PartslibraryList&& other) noexcept
    : util::RefCounted(other),
      m_units(std::move(other.m_units)),
      m_information(std::move(other.m_information)),
      m_categories(std::move(other.m_categories)),
      m_categoryById(std::move(other.m_categoryById)),
      m_ols(std::move(other.m_ols)),
      m_images(std::move(other.m_images)) {}

PartslibraryList& PartslibraryList::operator=(const PartslibraryList& other) {
  if (this != &other) {
    m_units = other.m_units;
    m_information = other.m_information;
    m_categories = other.m_categories;
    m_categoryById = other.m_categoryById;
    m_ols = other.m_ols;
    m_images = other.m_images;
  }
  return *this;
}

PartslibraryList& PartslibraryList::operator=(PartslibraryList&& other) noexcept {
  if (this != &other) {
    m_units = std::move(other.m_units);
    m_information = std::move(other.m_information);
    m_categories = std::move(other.m_categories);
    m_categoryById = std::move(other.m_categoryById);
    m_ols = std::move(other.m_ols);
    m_images = std::move(other.m_images);
  }
  return *this;
}

PartslibraryList::~PartslibraryList() {
  Clear();
}

void PartslibraryList::Clear() {
  // Categories go first. Released through their children, entries would be freed in
  // category order, scattered across memory; the entry lists free them in the order
  // they were made, which is several times faster for a large catalogue.
  m_categoryById.clear();
  m_categories.clear();
  m_ols.clear();
  m_images.clear();
}

// ---- Lookups ---------------------------------------------------------------------

util::SmartPtr<PartslibraryCategoryItem> PartslibraryList::GetCategoryFromCategoryList(const std::string& name) const {
  for (const auto& category : m_categories) {
    if (category && category->GetName() == name) {
      return category;
    }
  }
  return {};
}

util::SmartPtr<PartslibraryCategoryItem> PartslibraryList::GetCategoryFromCategoryList(int id) const {
  return FindById(m_categories, id);
}

util::SmartPtr<PartslibraryImageItem> PartslibraryList::GetImageFromImageList(int id) const {
  return FindById(m_images, id);
}

util::SmartPtr<PartslibraryOlItem> PartslibraryList::GetOlFromOlList(int id) const {
  return FindById(m_ols, id);
}

bool PartslibraryList::GetImageSequencerTagsByID(int id, SequencerTagList& out) const {
  const util::SmartPtr<PartslibraryImageItem> image = GetImageFromImageList(id);
  if (!image) {
    return false;
  }
  image->GetSequencerTags(out);
  return true;
}

bool PartslibraryList::GetOlSequencerTagsByID(int id, SequencerTagList& out) const {
  const util::SmartPtr<PartslibraryOlItem> ol = GetOlFromOlList(id);
  if (!ol) {
    return false;
  }
  ol->GetSequencerTags(out);
  return true;
}

int PartslibraryList::CalculateIdForNewCategoryInList() const {
  return NextId(LargestIdFromZero(m_categories));
}

int PartslibraryList::CalculateIdForNewImageInList() const {
  return NextId(LargestIdFromZero(m_images));
}

int PartslibraryList::CalculateIdForNewShapeInList() const {
  return NextId(LargestIdFromZero(m_ols));
}

// ---- Changing --------------------------------------------------------------------

void PartslibraryList::AddCategoryItem(util::SmartPtr<PartslibraryCategoryItem> category) {
  if (!category) {
    return;
  }
  category->SetID(m_idIndex != nullptr ? m_idIndex->categories.Resolve(category->GetID())
                                       : ResolveIdByScan(m_categories, category->GetID()));
  const int id = category->GetID();
  m_categories.push_back(category);
  if (m_idIndex != nullptr) {
    m_idIndex->SetCategory(id, category.get());
  }
  m_categoryById[id] = std::move(category);
}

void PartslibraryList::AddImageItem(util::SmartPtr<PartslibraryImageItem> image) {
  if (!image) {
    return;
  }
  image->SetID(m_idIndex != nullptr ? m_idIndex->images.Resolve(image->GetID())
                                    : ResolveIdByScan(m_images, image->GetID()));
  m_images.push_back(std::move(image));
  AppendPartslibraryItem(util::SmartPtr<PartslibraryItem>(m_images.back()));
}

void PartslibraryList::AddOlItem(util::SmartPtr<PartslibraryOlItem> ol) {
  if (!ol) {
    return;
  }
  ol->SetID(m_idIndex != nullptr ? m_idIndex->ols.Resolve(ol->GetID()) : ResolveIdByScan(m_ols, ol->GetID()));
  m_ols.push_back(std::move(ol));
  AppendPartslibraryItem(util::SmartPtr<PartslibraryItem>(m_ols.back()));
}

void PartslibraryList::DeleteImageItem(int id) {
  EraseFirstWithId(m_images, id);
}

void PartslibraryList::DeleteOlItem(int id) {
  EraseFirstWithId(m_ols, id);
}

void PartslibraryList::SetCategoryList(const CategoryList& categories) {
  if (&categories != &m_categories) {
    m_categories = categories;
  }
  m_categoryById.clear();
  for (const auto& category : m_categories) {
    if (category && category->GetID() != -1) {
      m_categoryById[category->GetID()] = category;
    }
  }
}

void PartslibraryList::AppendPartslibraryItem(util::SmartPtr<PartslibraryItem> item) {
  if (!item || item->GetCategoryID() == -1) {
    return;
  }
  if (m_idIndex != nullptr) {
    if (PartslibraryCategoryItem* category = m_idIndex->FindCategory(item->GetCategoryID())) {
      category->AppendChild(std::move(item));
      return;
    }
  }
  const auto found = m_categoryById.find(item->GetCategoryID());
  if (found != m_categoryById.end()) {
    if (found->second) {
      found->second->AppendChild(std::move(item));
    }
    return;
  }
  // An unknown category: the entry goes to the category with the smallest identifier.
  for (const auto& [id, category] : m_categoryById) {
    if (category) {
      item->SetCategoryID(id);
      category->AppendChild(item);
      return;
    }
  }
}

namespace {

// The merge's rule for one incoming shape or image list.
template <class List>
void MergeEntries(List& into, List&& incoming, const std::unordered_map<int, int>& idRemap,
                  const CategoryList& categories, const std::unordered_set<int>& categoryIds) {
  if (incoming.empty()) {
    return;
  }
  int next = NextId(LargestIdFromZero(into));
  into.reserve(into.size() + incoming.size());
  for (auto& entry : incoming) {
    if (!entry) {
      continue;
    }
    const auto mapped = idRemap.find(entry->GetCategoryID());
    if (mapped != idRemap.end()) {
      entry->SetCategoryID(mapped->second);
    } else if (categories.empty()) {
      entry->SetCategoryID(0);
    } else if (categoryIds.count(entry->GetCategoryID()) == 0) {
      entry->SetCategoryID(categories.front() ? categories.front()->GetID() : 0);
    }
    if (entry->GetID() < next) {
      entry->SetID(next);
    }
    next = NextId(entry->GetID());
    into.push_back(std::move(entry));
  }
}

}  // namespace

void PartslibraryList::AddPartslibraryList(const PartslibraryList& other) {
  // Copies of the reference vectors, so that merging a list into itself stays defined.
  MergeLists(other.m_categories, other.m_ols, other.m_images);
}

void PartslibraryList::AddPartslibraryList(PartslibraryList&& other) {
  MergeLists(std::move(other.m_categories), std::move(other.m_ols), std::move(other.m_images));
  other.Clear();
}

void PartslibraryList::MergeLists(CategoryList incomingCategories, OlList incomingOls, ImageList incomingImages) {
  std::unordered_map<int, int> idRemap;
  int nextCategoryId = NextId(LargestIdFromZero(m_categories));
  m_categoryById.clear();

  // Categories collapse onto the first existing category of the same name.
  std::unordered_map<std::string, util::SmartPtr<PartslibraryCategoryItem>> byName;
  byName.reserve(m_categories.size() + incomingCategories.size());
  for (const auto& category : m_categories) {
    if (category) {
      byName.emplace(category->GetName(), category);
    }
  }
  for (const auto& incoming : incomingCategories) {
    if (!incoming) {
      continue;
    }
    const int oldId = incoming->GetID();
    int mergedId = 0;
    const auto found = byName.find(incoming->GetName());
    if (found != byName.end()) {
      mergedId = found->second->GetID();
    } else {
      incoming->SetID(nextCategoryId);
      nextCategoryId = NextId(nextCategoryId);
      m_categories.push_back(incoming);
      byName.emplace(incoming->GetName(), incoming);
      mergedId = incoming->GetID();
    }
    idRemap[oldId] = mergedId;
  }

  std::unordered_set<int> categoryIds;
  categoryIds.reserve(m_categories.size() * 2);
  for (const auto& category : m_categories) {
    if (category) {
      categoryIds.insert(category->GetID());
    }
  }
  MergeEntries(m_images, std::move(incomingImages), idRemap, m_categories, categoryIds);
  MergeEntries(m_ols, std::move(incomingOls), idRemap, m_categories, categoryIds);

  for (const auto& category : m_categories) {
    if (category) {
      m_categoryById[category->GetID()] = category;
    }
  }
}

// ---- Library locations -------------------------------------------------------------

std::string PartslibraryList::GetLibraryPath() {
  std::string base;
  if (!detail::GetIllustrationBaseUrl(base)) {
    return std::string();
  }
  return detail::NormalisedLocation(base) + SEP + kLibraryFolder + SEP;
}

std::string PartslibraryList::GetLibraryFileAndPath() {
  const std::string library = GetLibraryPath();
  if (library.empty()) {
    return std::string();
  }
  return library + kLibraryFile;
}

std::string PartslibraryList::GetImagePath() {
  return GetLibraryPath() + kImageFolder + SEP;
}

std::string PartslibraryList::GetOlPath() {
  return GetLibraryPath() + kShapeFolder + SEP;
}

std::string PartslibraryList::GetXmlFileRelativePath() {
  return std::string(kLibraryFolder) + SEP + kLibraryFile;
}

std::string PartslibraryList::StandardLibraryFileNameAndPath() {
  util::FileSpec path;
  path.SetLocation(GetLibraryPath());
  path.DirPushBack(kStandardFolder);
  path.SetFileExtension(kLibraryExtension);
  path.SetFileBaseName(kLibraryBaseName);
  return path.GetFileSpec();
}

std::string PartslibraryList::SharedLibraryFileNameAndPath() {
  util::FileSpec path;
  path.SetLocation(detail::GetSharedCacheFolder() + kSharedSuffix);
  path.SetFileExtension(kLibraryExtension);
  path.SetFileBaseName(kLibraryBaseName);
  return path.GetFileSpec();
}

bool PartslibraryList::HaveStandardSymbols() {
  return util::FileSystem::FileExists(StandardLibraryFileNameAndPath());
}

bool PartslibraryList::IsUnderSymbolsLibraryPath(const std::string& path) {
  return IsUnderLocation(path, LibraryLocationKey(GetLibraryPath()));
}

void PartslibraryList::MakeRelativeToSymbolsLibrargyPath(std::string& path, bool standard) {
  MakeRelative(path, standard, GetLibraryPath().size());
}

void PartslibraryList::TrimAbsolutePath(std::string& path, bool image, bool standard) {
  const std::string name = util::FileSpec(path).GetFile();
  path = std::string(standard ? kStandardPrefix : kLibraryFolder) + SEP + (image ? kImageFolder : kShapeFolder) + SEP +
         name;
  detail::NormaliseSlashes(path);
}

void PartslibraryList::CheckRelativeUrlAndConcatIfNeeded(std::string& url) {
  if (util::FileSpec::IsAbsolute(url)) {
    return;
  }
  // Without preferences the base is empty and the url ends up rooted at the separator.
  std::string base;
  (void)detail::GetIllustrationBaseUrl(base);
  url = detail::NormalisedLocation(base) + SEP + url;
  detail::NormaliseSlashes(url);
}

void PartslibraryList::CopyDefaultSymbolsToSymbolsLibrary() {}

std::string PartslibraryList::GetLocalizedString(const std::string& key) {
  return Localized(key);
}

void PartslibraryList::replaceAll(std::string& text, char from, char to) {
  std::replace(text.begin(), text.end(), from, to);
}

// ---- Loading ---------------------------------------------------------------------

void PartslibraryList::ReadPreferencesXML(bool skipUserLibrary) {
  try {
    Clear();
    if (detail::IsSharedLibraryInUse()) {
      PartslibraryList shared;
      shared.ParseFromFile(SharedLibraryFileNameAndPath(), true, false);
      AddPartslibraryList(std::move(shared));
    }
    if (HaveStandardSymbols()) {
      PartslibraryList standard;
      standard.ParseFromFile(StandardLibraryFileNameAndPath(), false, true);
      AddPartslibraryList(std::move(standard));
    }
    if (!skipUserLibrary) {
      const std::string user = GetLibraryFileAndPath();
      if (!user.empty()) {
        ParseFromFile(user, false, false);
      }
    }
  } catch (...) {
    // Out of memory while loading: whatever was read so far stays.
    m_idIndex = nullptr;
  }
}

void PartslibraryList::ParseFromFile(const std::string& source, bool isShared, bool isStandard) {
  // Frozen: a source starting with an XML declaration is the document itself.
  static constexpr std::string_view kDeclaration = "<?xml ";
  geo::XmlElem* root = nullptr;
  if (source.size() >= kDeclaration.size() && source.compare(0, kDeclaration.size(), kDeclaration) == 0) {
    root = geo::ParseXml(source, false, nullptr);
  } else {
    root = geo::ParseXmlFile(source, false);
  }
  if (root == nullptr) {
    return;
  }
  // The tree is released whatever happens while it is read.
  struct TreeGuard {
    geo::XmlElem* root;
    ~TreeGuard() { geo::FreeXml(root); }
  } guard{root};
  CreateListFromXml(root, isShared, isStandard);
}

void PartslibraryList::CreateListFromXml(geo::XmlElem* root, bool isShared, bool isStandard) {
  if (root == nullptr || root->GetName() != kRoot) {
    return;
  }
  // Standard and user files carry exactly units, information and the three sections.
  if (!isShared && root->GetNumChildren() != 5) {
    return;
  }
  IdIndex index(*this);
  struct IndexScope {
    PartslibraryList& list;
    IdIndex* previous;
    ~IndexScope() { list.m_idIndex = previous; }
  } scope{*this, m_idIndex};
  m_idIndex = &index;
  for (size_t i = 0; i < root->GetNumChildren(); ++i) {
    geo::XmlElem* child = root->GetChild(i);
    const util::Symbol& name = child->GetName();
    if (name == kUnits) {
      m_units = child->GetTextRaw();
    } else if (name == kInformation) {
      m_information = child->GetTextRaw();
    } else if (name == kCategories) {
      CreateCategoryListFromXml(child, isShared, isStandard);
    } else if (name == kShapes) {
      CreateOlListFromXml(child, isShared, isStandard);
    } else if (name == kSymbols) {
      CreateImageListFromXml(child, isShared, isStandard);
    }
  }
}

void PartslibraryList::CreateCategoryListFromXml(geo::XmlElem* container, bool isShared, bool isStandard) {
  m_categories.reserve(m_categories.size() + container->GetNumChildren());
  for (size_t i = 0; i < container->GetNumChildren(); ++i) {
    const geo::XmlElem* elem = container->GetChild(i);
    util::SmartPtr<PartslibraryCategoryItem> category(new PartslibraryCategoryItem(isShared, isStandard));
    if (elem->GetName() == kCategory) {
      category->SetID(IntAttribute(Attributes(elem), "id", 0));
    }
    for (size_t j = 0; j < elem->GetNumChildren(); ++j) {
      const geo::XmlElem* child = elem->GetChild(j);
      if (child->GetName() == kName) {
        category->SetName(TextOrLocalized(child));
      } else if (child->GetName() == kTooltip) {
        category->SetCatTooltip(child->GetTextRaw());
      } else if (child->GetName() == kDescription) {
        category->SetCatDescription(child->GetTextRaw());
      }
    }
    AddCategoryItem(category);
  }
}

void PartslibraryList::CreateOlListFromXml(geo::XmlElem* container, bool isShared, bool isStandard) {
  const detail::UrlResolver urls(isShared, isStandard);
  m_ols.reserve(m_ols.size() + container->GetNumChildren());
  for (size_t i = 0; i < container->GetNumChildren(); ++i) {
    AddOlItem(ReadOl(container->GetChild(i), isShared, isStandard, urls));
  }
}

void PartslibraryList::CreateImageListFromXml(geo::XmlElem* container, bool isShared, bool isStandard) {
  const detail::UrlResolver urls(isShared, isStandard);
  m_images.reserve(m_images.size() + container->GetNumChildren());
  for (size_t i = 0; i < container->GetNumChildren(); ++i) {
    AddImageItem(ReadImage(container->GetChild(i), isShared, isStandard, urls));
  }
}

// ---- Saving ----------------------------------------------------------------------

bool PartslibraryList::WritePartslibraryListToXML() {
  return WritePartslibraryListToXML(GetLibraryFileAndPath(), false);
}

bool PartslibraryList::WritePartslibraryListToXML(const std::string& path, bool standard) {
  try {
    // The whole text first, then one crash-safe replacement of the file.
    (void)util::SafeFileWriter::Write(path, BuildLibraryText(standard));
  } catch (...) {
    // Saving reports nothing; the previous file stays as it was.
  }
  return true;
}

bool PartslibraryList::WriteChangesInPartslibraryListToXML(bool standard) {
  if (standard && HaveStandardSymbols()) {
    return WritePartslibraryListToXML(StandardLibraryFileNameAndPath(), true);
  }
  return WritePartslibraryListToXML(GetLibraryFileAndPath(), false);
}

bool PartslibraryList::CanExport() const {
  const auto notShared = [](const auto& entry) { return entry && !entry->IsShared(); };
  return std::any_of(m_ols.begin(), m_ols.end(), notShared) || std::any_of(m_images.begin(), m_images.end(), notShared);
}

void PartslibraryList::CreateLibraryFolderAndDefaultXmlIfNedded() {
  try {
    const std::string library = GetLibraryPath();
    const std::string file = GetLibraryFileAndPath();
    if (util::FileSystem::DirExists(library) && util::FileSystem::FileExists(file)) {
      return;
    }
    (void)util::FileSystem::Mkdir(library);
    (void)util::FileSystem::Mkdir(GetImagePath());
    (void)util::FileSystem::Mkdir(GetOlPath());
    PartslibraryList empty;
    (void)empty.WritePartslibraryListToXML(GetLibraryFileAndPath(), false);
  } catch (...) {
    // A failure shows as a missing library at the next read.
  }
}

namespace {

// Which entries a save includes: standard mode keeps everything but shared entries,
// user mode only the user's own.
bool IsWritten(const PartslibraryItemBase& item, bool standard) {
  return standard ? !item.IsShared() : !item.IsShared() && !item.IsStandard();
}

// Where written file references point, computed once per save.
struct WriteContext {
  size_t libraryPathLength;
  std::string libraryLocationKey;
  bool oldDialog;
};

WriteContext MakeWriteContext(const std::string& libraryPath) {
  return WriteContext{libraryPath.size(), LibraryLocationKey(libraryPath), oxcommon::IsOldDialogEnabled()};
}

}  // namespace

std::string PartslibraryList::BuildLibraryText(bool standard) const {
  std::string out;
  // Roughly what an entry takes, so that the text grows without copying.
  out.reserve(512 + m_categories.size() * 256 + m_ols.size() * 1024 + m_images.size() * 896);
  // Frozen: the declaration and root element of every library file.
  out += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
  WritePartslibraryTag(out, "orbis-library", 0, false, true, true);
  WritePartslibraryUnits(out);
  WritePartslibraryInformation(out);
  WritePartslibraryCategories(out, standard);
  WritePartslibraryOls(out, standard);
  WritePartslibraryImages(out, standard);
  WritePartslibraryTag(out, "orbis-library", 0, false, false, true);
  return out;
}

void PartslibraryList::WritePartslibraryTag(std::string& out, const char* name, int depth, bool leaveOpen, bool isOpen,
                                            bool newline) {
  out.append(static_cast<size_t>(depth) * 2, ' ');
  out += '<';
  if (!leaveOpen && !isOpen) {
    out += '/';
  }
  out += name;
  if (leaveOpen) {
    return;
  }
  out += '>';
  if (newline) {
    out += '\n';
  }
}

void PartslibraryList::WritePartslibraryOpenTag(std::string& out, const char* name, int depth) {
  out.append(static_cast<size_t>(depth) * 2, ' ');
  out += '<';
  out += name;
  out += ' ';
}

void PartslibraryList::WritePartslibraryAttr(std::string& out, const char* name, std::string_view value,
                                             bool selfClose) {
  out += ' ';
  if (*name != '\0') {
    out += name;
    out += "=\"";
    AppendEscaped(out, value);
    out += '"';
  }
  if (selfClose) {
    out += "/> \n";
  }
}

void PartslibraryList::WritePartslibraryCloseTag(std::string& out, bool newline) {
  out += '>';
  if (newline) {
    out += '\n';
  }
}

void PartslibraryList::WritePartslibraryTagAndValue(std::string& out, const char* name, int depth,
                                                    std::string_view value, bool newline) {
  out.append(static_cast<size_t>(depth) * 2, ' ');
  out += '<';
  out += name;
  out += '>';
  WritePartslibraryValue(out, value);
  out += "</";
  out += name;
  out += '>';
  if (newline) {
    out += '\n';
  }
}

void PartslibraryList::WritePartslibraryValue(std::string& out, std::string_view value) {
  if (!value.empty()) {
    AppendEscaped(out, value);
  }
}

void PartslibraryList::WritePartslibraryUnits(std::string& out) const {
  WritePartslibraryTagAndValue(out, "units", 1, m_units, true);
}

void PartslibraryList::WritePartslibraryInformation(std::string& out) const {
  WritePartslibraryTagAndValue(out, "information", 1, m_information, true);
}

void PartslibraryList::WritePartslibraryCategories(std::string& out, bool standard) const {
  char number[32];
  WritePartslibraryTag(out, "categories", 1, false, true, true);
  for (const auto& category : m_categories) {
    if (!category || !IsWritten(*category, standard)) {
      continue;
    }
    WritePartslibraryTag(out, "category", 2, true, false, false);
    WritePartslibraryAttr(out, "id", FormatInt(category->GetID(), number), false);
    WritePartslibraryCloseTag(out, true);
    WritePartslibraryTagAndValue(out, "name", 3, category->GetName(), true);
    WritePartslibraryTagAndValue(out, "tooltip", 3, category->GetCatTooltip(), true);
    WritePartslibraryTagAndValue(out, "description", 3, category->GetCatDescription(), true);
    WritePartslibraryTag(out, "category", 2, false, false, true);
  }
  WritePartslibraryTag(out, "categories", 1, false, false, true);
}

// Tags of an entry at depths 3 to 5; nothing when it has none.
void PartslibraryList::WritePartslibraryTags(std::string& out, const SequencerTagList& tags) {
  if (tags.empty()) {
    return;
  }
  WritePartslibraryTag(out, "tags", 3, false, true, true);
  for (const auto& tag : tags) {
    if (!tag) {
      continue;
    }
    WritePartslibraryTag(out, "tag", 4, true, false, false);
    WritePartslibraryAttr(out, "type", SequencerTag::GetSymbolForType(tag->GetType()).view(), false);
    WritePartslibraryCloseTag(out, true);
    WritePartslibraryTagAndValue(out, "description", 5, tag->GetDescription(), true);
    if (!tag->GetUnits().empty() || !tag->GetQuantityString().empty()) {
      WritePartslibraryTag(out, "quantity", 5, true, false, false);
      WritePartslibraryAttr(out, "unit", tag->GetUnits(), false);
      WritePartslibraryCloseTag(out, false);
      WritePartslibraryValue(out, tag->GetQuantityString());
      WritePartslibraryTag(out, "quantity", 0, false, false, true);
    }
    WritePartslibraryTag(out, "tag", 4, false, false, true);
  }
  WritePartslibraryTag(out, "tags", 3, false, false, true);
}

void PartslibraryList::WritePartslibraryOls(std::string& out, bool standard) const {
  const WriteContext context = MakeWriteContext(GetLibraryPath());
  char number[32];
  std::string reference;
  WritePartslibraryTag(out, "shapes", 1, false, true, true);
  for (const auto& ol : m_ols) {
    if (!ol || !IsWritten(*ol, standard)) {
      continue;
    }
    WritePartslibraryTag(out, "shape", 2, true, false, false);
    WritePartslibraryAttr(out, "id", FormatInt(ol->GetID(), number), false);
    WritePartslibraryAttr(out, "categoryId", FormatInt(ol->GetCategoryID(), number), false);
    WritePartslibraryCloseTag(out, true);
    WritePartslibraryTagAndValue(out, "name", 3, ol->GetName(), true);
    WritePartslibraryTagAndValue(out, "title", 3, ol->GetTitle(), true);
    WritePartslibraryTagAndValue(out, "showTooltipTitle", 3, FormatBool(ol->ShowTooltipTitle()), true);
    WritePartslibraryTagAndValue(out, "description", 3, ol->GetDescription(), true);
    WritePartslibraryTagAndValue(out, "showTooltipDescription", 3, FormatBool(ol->ShowTooltipDescription()), true);
    WritePartslibraryTagAndValue(out, "tooltip", 3, ol->GetOlTooltip(), true);

    reference = ol->GetOlGalleryThumbnailUrl();
    if (util::FileSpec::IsAbsolute(reference)) {
      TrimAbsolutePath(reference, true, standard && !ol->IsShared());
    }
    WritePartslibraryTag(out, "gallery_thumbnail", 3, true, false, false);
    WritePartslibraryAttr(out, "url", reference, true);
    reference = ol->GetOlUrl();
    if (util::FileSpec::IsAbsolute(reference) && IsUnderLocation(reference, context.libraryLocationKey)) {
      MakeRelative(reference, standard && !ol->IsStandard(), context.libraryPathLength);
    }
    WritePartslibraryTag(out, "graphic", 3, true, false, false);
    WritePartslibraryAttr(out, "url", reference, true);

    WritePartslibraryTagAndValue(out, "scale", 3, FormatReal(ol->GetOlScale(), number), true);
    WritePartslibraryTagAndValue(out, "orientation", 3, FormatInt(ol->GetOlOrientation(), number), true);
    if (ol->GetOlOrientation() != 0) {
      const geo::Location& csys = ol->GetOlCsys();
      WritePartslibraryTag(out, "shape_csys", 3, true, false, false);
      for (int i = 0; i < 9; ++i) {
        WritePartslibraryAttr(out, kCsysAttrs[i], FormatReal(csys.GetMat().Get(i / 3, i % 3), number), false);
      }
      WritePartslibraryAttr(out, "pos_x", FormatReal(csys.GetPos().x, number), false);
      WritePartslibraryAttr(out, "pos_y", FormatReal(csys.GetPos().y, number), false);
      WritePartslibraryAttr(out, "pos_z", FormatReal(csys.GetPos().z, number), true);
    }
    if (!context.oldDialog) {
      if (!ol->GetAxisName().empty()) {
        WritePartslibraryTagAndValue(out, "axis_name", 3, ol->GetAxisName(), true);
        WritePartslibraryTagAndValue(out, "distance_from_csys", 3, FormatReal(ol->GetDistanceFromCsys(), number), true);
        WritePartslibraryTagAndValue(out, "axis_id", 3, FormatInt(ol->GetAxisId(), number), true);
      }
      if (!ol->GetOrientationName().empty()) {
        WritePartslibraryTagAndValue(out, "orientation_name", 3, ol->GetOrientationName(), true);
      }
      WritePartslibraryTagAndValue(out, "annotation_to_symbol", 3, FormatBool(ol->IsAnnotationSymbol()), true);
      WritePartslibraryTagAndValue(out, "use_current_orientation", 3, FormatBool(ol->IsUseCurrentOrientation()), true);
      WritePartslibraryTagAndValue(out, "edit_csys_method", 3, FormatInt(ol->GetEditCsysMethod(), number), true);
    }
    SequencerTagList tags;
    ol->GetSequencerTags(tags);
    WritePartslibraryTags(out, tags);
    bool orthographic = false;
    double value = 0.0;
    geo::Location location;
    if (ol->GetCameraData(orthographic, value, location)) {
      // The camera's attribute forms are the host XML layer's own.
      geo::XmlElem* camera = geo::NewXmlElem("camera");
      camera->SetAttribute("ortho", orthographic);
      camera->SetAttribute("value", value);
      camera->SetAttribute("location", location);
      geo::WriteXmlCloseTags(camera, out, 3);
      geo::FreeXml(camera);
    }
    WritePartslibraryTag(out, "shape", 2, false, false, true);
  }
  WritePartslibraryTag(out, "shapes", 1, false, false, true);
}

void PartslibraryList::WritePartslibraryImages(std::string& out, bool standard) const {
  const WriteContext context = MakeWriteContext(GetLibraryPath());
  char number[32];
  std::string reference;
  WritePartslibraryTag(out, "symbols", 1, false, true, true);
  for (const auto& image : m_images) {
    if (!image || !IsWritten(*image, standard)) {
      continue;
    }
    WritePartslibraryTag(out, "symbol", 2, true, false, false);
    WritePartslibraryAttr(out, "id", FormatInt(image->GetID(), number), false);
    WritePartslibraryAttr(out, "categoryId", FormatInt(image->GetCategoryID(), number), false);
    WritePartslibraryAttr(out, "billboard", FormatBool(image->GetIsBillboardImage()), false);
    WritePartslibraryCloseTag(out, true);
    WritePartslibraryTagAndValue(out, "name", 3, image->GetName(), true);
    WritePartslibraryTagAndValue(out, "title", 3, image->GetTitle(), true);
    WritePartslibraryTagAndValue(out, "showTooltipTitle", 3, FormatBool(image->ShowTooltipTitle()), true);
    WritePartslibraryTagAndValue(out, "description", 3, image->GetDescription(), true);
    WritePartslibraryTagAndValue(out, "showTooltipDescription", 3, FormatBool(image->ShowTooltipDescription()), true);
    WritePartslibraryTagAndValue(out, "tooltip", 3, image->GetImageTooltip(), true);

    reference = image->GetImageGalleryThumbnailUrl();
    if (util::FileSpec::IsAbsolute(reference)) {
      TrimAbsolutePath(reference, true, standard && !image->IsShared());
    }
    WritePartslibraryTag(out, "gallery_thumbnail", 3, true, false, false);
    WritePartslibraryAttr(out, "url", reference, true);
    reference = image->GetImageUrl();
    if (util::FileSpec::IsAbsolute(reference) && IsUnderLocation(reference, context.libraryLocationKey)) {
      MakeRelative(reference, standard && !image->IsStandard(), context.libraryPathLength);
    }
    WritePartslibraryTag(out, "image", 3, true, false, false);
    WritePartslibraryAttr(out, "url", reference, true);

    WritePartslibraryTagAndValue(out, "scale", 3, FormatInt(image->GetImageScale(), number), true);
    WritePartslibraryTag(out, "flip", 3, true, false, false);
    WritePartslibraryAttr(out, "horizontal", FormatBool(image->GetFlipHorizontal()), false);
    WritePartslibraryAttr(out, "vertical", FormatBool(image->GetFlipVertical()), true);
    WritePartslibraryTag(out, "rotate", 3, true, false, false);
    WritePartslibraryAttr(out, "right", FormatInt(image->GetRotateRight(), number), false);
    WritePartslibraryAttr(out, "left", FormatInt(image->GetRotateLeft(), number), true);
    SequencerTagList tags;
    image->GetSequencerTags(tags);
    WritePartslibraryTags(out, tags);
    WritePartslibraryTag(out, "symbol", 2, false, false, true);
  }
  WritePartslibraryTag(out, "symbols", 1, false, false, true);
}

}  // namespace oxsymbols
