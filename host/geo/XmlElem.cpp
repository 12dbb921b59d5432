#include "geo/XmlElem.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <pugixml.hpp>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "util/FileSystem.h"
#include "util/FreedMemory.h"

namespace geo {

namespace {

// pugixml's handles are a single pointer. Converting them by value instead of through
// the library's out-of-line constructor and accessors saves calls on every element.
static_assert(sizeof(pugi::xml_node) == sizeof(void*) && std::is_trivially_copyable_v<pugi::xml_node>);
static_assert(sizeof(pugi::xml_attribute) == sizeof(void*) && std::is_trivially_copyable_v<pugi::xml_attribute>);

pugi::xml_node NodeOf(void* node) {
  return std::bit_cast<pugi::xml_node>(node);
}

void* PointerOf(pugi::xml_node node) {
  return std::bit_cast<void*>(node);
}

bool IsNull(pugi::xml_node node) {
  return PointerOf(node) == nullptr;
}

bool IsNull(pugi::xml_attribute attribute) {
  return std::bit_cast<void*>(attribute) == nullptr;
}

// Interns element names for one tree. Documents repeat a few names millions of times,
// so a small table in front of the symbol table saves the hashing and locking. Slots are
// filled once and never change, so readers on several threads share the table without
// a lock.
//
// A name in a buffer the tree owns may be read eight bytes at a time past its end (the
// buffer is padded), so a name of up to 23 bytes is found with three word compares.
// Other names take a byte-by-byte path with a table of its own.
class NameCache {
 public:
  // Bytes a buffer must have after its last name for the word-wise reads.
  static constexpr size_t kPadding = 8;

  NameCache() = default;
  NameCache(const NameCache&) = delete;
  NameCache& operator=(const NameCache&) = delete;
  ~NameCache() {
    for (auto& set : m_wordSets) {
      for (auto& slot : set) {
        delete slot.load(std::memory_order_relaxed);
      }
    }
  }

  util::Symbol Get(const char* text, bool padded) {
    Key key;
    if (padded && MakeKey(text, key)) {
      return GetByWords(text, key);
    }
    return GetByBytes(text);
  }

 private:
  static_assert(std::atomic<util::Symbol>::is_always_lock_free);
  static constexpr size_t kWays = 4;
  static constexpr size_t kSets = 256;

  struct Key {
    uint64_t words[3] = {0, 0, 0};
  };
  struct WordEntry {
    Key key;
    util::Symbol name;
  };

  // The name's bytes in up to three words, zero from its terminator on; false when it
  // is longer. The lowest byte the zero test flags is always a true zero.
  static bool MakeKey(const char* text, Key& key) {
    static_assert(std::endian::native == std::endian::little, "words hold the first byte lowest");
    for (int i = 0; i < 3; ++i) {
      uint64_t word;
      std::memcpy(&word, text + 8 * i, sizeof(word));
      const uint64_t zero = (word - 0x0101010101010101ull) & ~word & 0x8080808080808080ull;
      if (zero != 0) {
        key.words[i] = word & (((zero & (~zero + 1)) >> 7) - 1);
        return true;
      }
      key.words[i] = word;
    }
    return false;
  }

  util::Symbol GetByWords(const char* text, const Key& key) {
    uint64_t mix = key.words[0] * 0x9E3779B97F4A7C15ull ^ key.words[1] * 0xC2B2AE3D27D4EB4Full ^ key.words[2];
    mix ^= mix >> 29;
    std::atomic<const WordEntry*>* slots = m_wordSets[mix % kSets];
    for (size_t i = 0; i < kWays; ++i) {
      const WordEntry* entry = slots[i].load(std::memory_order_acquire);
      if (entry == nullptr) {
        break;
      }
      if (entry->key.words[0] == key.words[0] && entry->key.words[1] == key.words[1] &&
          entry->key.words[2] == key.words[2]) {
        return entry->name;
      }
    }
    auto made = std::make_unique<WordEntry>(WordEntry{key, util::Symbol(text)});
    const util::Symbol name = made->name;
    for (size_t i = 0; i < kWays; ++i) {
      const WordEntry* expected = nullptr;
      if (slots[i].compare_exchange_strong(expected, made.get(), std::memory_order_acq_rel)) {
        made.release();
        break;
      }
      if (expected->name == name) {
        break;
      }
    }
    return name;  // a full set only means this name is interned again next time
  }

  util::Symbol GetByBytes(const char* text) {
    std::atomic<util::Symbol>* slots = m_byteSets[SetIndex(text)];
    for (size_t i = 0; i < kWays; ++i) {
      const util::Symbol cached = slots[i].load(std::memory_order_acquire);
      if (cached.empty()) {
        break;
      }
      if (SameText(cached.c_str(), text)) {
        return cached;
      }
    }
    const util::Symbol name(text);
    for (size_t i = 0; i < kWays; ++i) {
      util::Symbol expected;
      if (slots[i].compare_exchange_strong(expected, name, std::memory_order_acq_rel) || expected == name) {
        break;
      }
    }
    return name;
  }

  // Up to four leading bytes; never reads past the terminating zero.
  static size_t SetIndex(const char* text) {
    uint32_t key = 0;
    for (int i = 0; i < 4 && text[i] != '\0'; ++i) {
      key = key << 8 | static_cast<unsigned char>(text[i]);
    }
    return (key * 0x9E3779B1u) >> 24;
  }

  static bool SameText(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) {
      ++a;
      ++b;
    }
    return *a == *b;
  }

  std::atomic<const WordEntry*> m_wordSets[kSets][kWays] = {};
  std::atomic<util::Symbol> m_byteSets[kSets][kWays] = {};
};

}  // namespace

// Owns the pugixml document and the elements, which live in blocks that never move.
// Children lists are made on demand by whichever thread asks first; a thread that loses
// the race to publish a list leaves its copy unused in the blocks.
class XmlTree {
 public:
  pugi::xml_document document;
  std::unique_ptr<char[]> ownedText;  // the parsed text, decoded in place and padded
  size_t textSize = 0;
  XmlElem* root = nullptr;
  bool paddedNames = false;  // names lie in a buffer the tree owns, padded for word reads

  static pugi::xml_node Node(const XmlElem* elem) { return NodeOf(elem->m_node); }

  XmlElem* MakeRoot(pugi::xml_node node) {
    void* memory = Allocate(sizeof(XmlElem));
    root = new (memory) XmlElem(this, PointerOf(node), util::Symbol(node.name()));
    return root;
  }

  // The list of an element without children, and of one let go of.
  static constexpr XmlElem::ChildList kNone{};

  const XmlElem::ChildList& MakeChildren(const XmlElem& parent) {
    // Only the nodes are listed here; names are read when asked for. Most elements have
    // few children, which are gathered on the stack.
    constexpr size_t kOnStack = 64;
    void* onStack[kOnStack];
    std::vector<void*> more;
    size_t count = 0;
    for (pugi::xml_node child = Node(&parent).first_child(); !IsNull(child); child = child.next_sibling()) {
      if (child.type() != pugi::node_element) {
        continue;
      }
      if (count < kOnStack) {
        onStack[count] = PointerOf(child);
      } else {
        more.push_back(PointerOf(child));
      }
      ++count;
    }
    const XmlElem::ChildList* list = &kNone;
    if (count > 0) {
      void* memory = Allocate(sizeof(XmlElem::ChildList) + count * sizeof(XmlElem));
      auto* elements = reinterpret_cast<XmlElem*>(static_cast<std::byte*>(memory) + sizeof(XmlElem::ChildList));
      for (size_t i = 0; i < count; ++i) {
        new (elements + i) XmlElem(this, i < kOnStack ? onStack[i] : more[i - kOnStack], util::Symbol());
      }
      list = new (memory) XmlElem::ChildList{elements, count};
    }
    const XmlElem::ChildList* expected = nullptr;
    if (!parent.m_children.compare_exchange_strong(expected, list, std::memory_order_acq_rel,
                                                   std::memory_order_acquire)) {
      return *expected;
    }
    return *list;
  }

  // Lets go of what was made for elem and below it: their children lists go back for
  // lists of the same length, and their nodes are forgotten.
  void Release(XmlElem& elem) {
    std::vector<XmlElem*> pending{&elem};
    while (!pending.empty()) {
      XmlElem* current = pending.back();
      pending.pop_back();
      const XmlElem::ChildList* list = current->m_children.exchange(&kNone, std::memory_order_acq_rel);
      current->m_node = nullptr;
      if (list == nullptr || list == &kNone || list->count == 0) {
        continue;
      }
      for (size_t i = 0; i < list->count; ++i) {
        pending.push_back(list->first + i);
      }
      Recycle(const_cast<XmlElem::ChildList*>(list), sizeof(XmlElem::ChildList) + list->count * sizeof(XmlElem));
    }
  }

  util::Symbol InternName(const XmlElem& elem) {
    if (IsNull(Node(&elem))) {
      return util::Symbol();  // let go of: no name to read
    }
    const util::Symbol name = m_names.Get(Node(&elem).name(), paddedNames);
    elem.m_name.store(name, std::memory_order_release);
    return name;
  }

 private:
  static_assert(std::is_trivially_destructible_v<XmlElem>, "blocks are released without running destructors");
  static_assert(sizeof(XmlElem::ChildList) % alignof(XmlElem) == 0, "elements follow their list header");
  static constexpr size_t kBlockSize = size_t{1} << 20;

  void* Allocate(size_t size) {
    const std::lock_guard<std::mutex> lock(m_blockMutex);
    // A list let go of serves the next of its length: a tree read entry by entry, each let
    // go of when read, keeps using the same few lists.
    if (const auto spare = m_spare.find(size); spare != m_spare.end() && !spare->second.empty()) {
      void* memory = spare->second.back();
      spare->second.pop_back();
      return memory;
    }
    if (size > m_left) {
      const size_t blockSize = std::max(size, kBlockSize);
      m_blocks.push_back(std::make_unique_for_overwrite<std::byte[]>(blockSize));
      m_cursor = m_blocks.back().get();
      m_left = blockSize;
    }
    void* memory = m_cursor;
    m_cursor += size;
    m_left -= size;
    return memory;
  }

  // The memory of a list let go of (it stays in its block): none of it is in use.
  void Recycle(void* memory, size_t size) {
    const std::lock_guard<std::mutex> lock(m_blockMutex);
    try {
      m_spare[size].push_back(memory);
    } catch (...) {
      // Short of memory: this list's room stays unused until the tree goes.
    }
  }

  NameCache m_names;
  std::mutex m_blockMutex;
  std::unordered_map<size_t, std::vector<void*>> m_spare;  // by size in bytes
  std::vector<std::unique_ptr<std::byte[]>> m_blocks;
  std::byte* m_cursor = nullptr;
  size_t m_left = 0;
};

const XmlElem::ChildList& XmlElem::MakeChildren() const {
  return m_tree->MakeChildren(*this);
}

void XmlElem::ReleaseChild(size_t index) {
  const ChildList& children = Children();
  if (index >= children.count) {
    return;
  }
  XmlElem& child = children.first[index];
  const pugi::xml_node node = NodeOf(child.m_node);
  m_tree->Release(child);
  if (!IsNull(node)) {
    // The parser's pages go back to the heap as the nodes in them go: a document read
    // front to back frees them in the order it made them.
    (void)NodeOf(m_node).remove_child(node);
  }
}

util::Symbol XmlElem::InternName() const {
  return m_tree->InternName(*this);
}

namespace {

pugi::xml_attribute AttributeAt(const XmlElem* elem, size_t index) {
  pugi::xml_attribute attribute = XmlTree::Node(elem).first_attribute();
  for (size_t i = 0; !IsNull(attribute) && i < index; ++i) {
    attribute = attribute.next_attribute();
  }
  return attribute;
}

// ASCII case folding: the words compared are English, and the C library's tolower
// would be a call per byte.
char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

void AppendIndent(std::string& out, int depth) {
  out.append(static_cast<size_t>(depth > 0 ? depth * 2 : 0), ' ');
}

}  // namespace

size_t XmlElem::GetNumAttributes() const {
  size_t count = 0;
  for (pugi::xml_attribute a = XmlTree::Node(this).first_attribute(); !IsNull(a); a = a.next_attribute()) {
    ++count;
  }
  return count;
}

size_t XmlElem::FindAttribute(const char* name) const {
  size_t index = 0;
  for (pugi::xml_attribute a = XmlTree::Node(this).first_attribute(); !IsNull(a); a = a.next_attribute(), ++index) {
    if (std::strcmp(a.name(), name) == 0) {
      return index;
    }
  }
  return npos;
}

size_t XmlElem::GetAttributes(XmlAttribute* out, size_t max) const {
  size_t count = 0;
  for (pugi::xml_attribute a = XmlTree::Node(this).first_attribute(); !IsNull(a); a = a.next_attribute(), ++count) {
    if (count < max) {
      out[count] = XmlAttribute{a.name(), a.value()};
    }
  }
  return count;
}

const char* XmlElem::GetAttributeName(size_t index) const {
  return AttributeAt(this, index).name();
}

const char* XmlElem::GetAttributeText(size_t index) const {
  return AttributeAt(this, index).value();
}

bool XmlElem::GetAttributeAsInt(size_t index, int32_t& value) const {
  pugi::xml_attribute a = AttributeAt(this, index);
  return a && ParseXmlInt(a.value(), value);
}

bool XmlElem::GetAttributeAsFloat(size_t index, float& value) const {
  pugi::xml_attribute a = AttributeAt(this, index);
  return a && ParseXmlFloat(a.value(), value);
}

bool XmlElem::GetAttributeAsDouble(size_t index, double& value) const {
  pugi::xml_attribute a = AttributeAt(this, index);
  return a && ParseXmlDouble(a.value(), value);
}

bool XmlElem::GetAttributeAsBool(size_t index, bool& value) const {
  pugi::xml_attribute a = AttributeAt(this, index);
  return a && ParseXmlBool(a.value(), value);
}

bool XmlElem::GetAttributeAsLocation(size_t index, Location& value) const {
  pugi::xml_attribute a = AttributeAt(this, index);
  return a && ParseXmlLocation(a.value(), value);
}

const char* XmlElem::GetTextRaw() const {
  const pugi::xml_node node = XmlTree::Node(this);
  // Text before any child element is kept in the element itself (see ParseOptions).
  const char* own = node.value();
  if (*own != '\0') {
    return own;
  }
  for (pugi::xml_node child = node.first_child(); !IsNull(child); child = child.next_sibling()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      return child.value();
    }
  }
  return "";
}

bool XmlElem::GetTextAsBool() const {
  std::string_view text = GetTextRaw();
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  // The words ParseXmlBool takes, without copying the text.
  const auto is = [&](std::string_view word) {
    return text.size() == word.size() &&
           std::equal(text.begin(), text.end(), word.begin(), [](char a, char b) { return LowerAscii(a) == b; });
  };
  return is("true") || is("yes") || text == "1";
}

void XmlElem::SetAttribute(const char* name, const std::string& value) {
  pugi::xml_node node = XmlTree::Node(this);
  pugi::xml_attribute a = node.attribute(name);
  if (!a) {
    a = node.append_attribute(name);
  }
  a.set_value(value.c_str());
}

void XmlElem::SetAttribute(const char* name, bool value) {
  SetAttribute(name, std::string(value ? "true" : "false"));
}

void XmlElem::SetAttribute(const char* name, int32_t value) {
  SetAttribute(name, std::to_string(value));
}

void XmlElem::SetAttribute(const char* name, double value) {
  SetAttribute(name, FormatXmlDouble(value));
}

void XmlElem::SetAttribute(const char* name, const Location& value) {
  SetAttribute(name, FormatXmlLocation(value));
}

void XmlElem::SetText(const std::string& text) {
  XmlTree::Node(this).text().set(text.c_str());
}

namespace {

XmlElem* FinishParse(XmlTree* tree, const pugi::xml_parse_result& result, std::string_view text, XmlParseError* error) {
  pugi::xml_node root = tree->document.document_element();
  if (!result || !root) {
    if (error != nullptr) {
      error->message = result ? "no root element" : result.description();
      error->offset = result ? text.size() : static_cast<size_t>(result.offset);
      error->line = 1;
      error->column = 1;
      for (size_t i = 0; i < error->offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
          ++error->line;
          error->column = 1;
        } else {
          ++error->column;
        }
      }
    }
    delete tree;
    return nullptr;
  }
  return tree->MakeRoot(root);
}

// Text that comes before any child is stored in its element rather than in a node of
// its own: most elements hold only text, so this halves the nodes of a typical tree.
unsigned ParseOptions(bool keepWhitespaceText) {
  const unsigned options = pugi::parse_default | pugi::parse_embed_pcdata;
  return keepWhitespaceText ? (options | pugi::parse_ws_pcdata) : options;
}

// Parses the tree's own padded text of size bytes in place; text is the document as
// given, for error positions.
XmlElem* ParseOwnedText(std::unique_ptr<XmlTree> tree, size_t size, bool keepWhitespaceText, std::string_view text,
                        XmlParseError* error) {
  tree->paddedNames = true;
  tree->textSize = size;
  const pugi::xml_parse_result result = tree->document.load_buffer_inplace(
      tree->ownedText.get(), size, ParseOptions(keepWhitespaceText), pugi::encoding_utf8);
  return FinishParse(tree.release(), result, text, error);
}

}  // namespace

XmlElem* ParseXml(std::string_view text, bool keepWhitespaceText, XmlParseError* error) {
  auto tree = std::make_unique<XmlTree>();
  // The parser would copy the text anyway; a copy of our own is padded for name reads.
  tree->ownedText = std::make_unique_for_overwrite<char[]>(text.size() + 1 + NameCache::kPadding);
  std::memcpy(tree->ownedText.get(), text.data(), text.size());
  std::memset(tree->ownedText.get() + text.size(), 0, 1 + NameCache::kPadding);
  return ParseOwnedText(std::move(tree), text.size(), keepWhitespaceText, text, error);
}

XmlElem* ParseXmlFile(const std::string& path, bool keepWhitespaceText) {
  auto tree = std::make_unique<XmlTree>();
  size_t size = 0;
  if (!util::FileSystem::ReadFile(path, tree->ownedText, size, NameCache::kPadding)) {
    return nullptr;
  }
  return ParseOwnedText(std::move(tree), size, keepWhitespaceText, std::string_view(), nullptr);
}

void FreeXml(XmlElem* root) {
  if (root == nullptr) {
    return;
  }
  XmlTree* tree = root->m_tree;
  if (tree == nullptr || tree->root != root) {
    return;  // not a root: the tree is released through its root only
  }
  // The parser's pages of a large document lie between what was made while reading it:
  // freed, they would stay with the process for good unless handed back.
  constexpr size_t kLargeText = size_t{16} << 20;
  const bool large = tree->textSize >= kLargeText;
  delete tree;
  if (large) {
    util::FreedMemory::ReturnToSystem();
  }
}

XmlElem* NewXmlElem(const char* name) {
  auto* tree = new XmlTree();
  return tree->MakeRoot(tree->document.append_child(name));
}

void WriteXmlCloseTags(const XmlElem* elem, std::string& out, int depth) {
  if (elem == nullptr) {
    return;
  }
  pugi::xml_node node = XmlTree::Node(elem);
  AppendIndent(out, depth);
  out += '<';
  out += node.name();
  for (pugi::xml_attribute a = node.first_attribute(); !IsNull(a); a = a.next_attribute()) {
    out += ' ';
    out += a.name();
    out += "=\"";
    EncodeXmlStr(a.value(), out);
    out += '"';
  }
  const std::string_view text = elem->GetTextRaw();
  if (elem->GetNumChildren() == 0 && text.empty()) {
    out += "/>\n";
    return;
  }
  out += '>';
  EncodeXmlStr(text, out);
  if (elem->GetNumChildren() > 0) {
    out += '\n';
    for (size_t i = 0; i < elem->GetNumChildren(); ++i) {
      WriteXmlCloseTags(elem->GetChild(i), out, depth + 1);
    }
    AppendIndent(out, depth);
  }
  out += "</";
  out += node.name();
  out += ">\n";
}

}  // namespace geo
