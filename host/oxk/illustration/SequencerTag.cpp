#include "oxk/illustration/SequencerTag.h"

namespace oxk::illustration {
namespace {
// Frozen: stored in library files and documents.
const char* const kTypeNames[] = {"unknown", "tool", "part", "consumable", "torque", "safety", "note"};
}  // namespace

util::Symbol SequencerTag::GetSymbolForType(Type type) {
  switch (type) {
    case kUnknown:
    case kTool:
    case kPart:
    case kConsumable:
    case kTorque:
    case kSafety:
    case kNote:
      return util::Symbol(kTypeNames[type]);
  }
  return util::Symbol(kTypeNames[kUnknown]);
}

SequencerTag::Type SequencerTag::GetTypeForSymbol(const util::Symbol& name) {
  for (int type = kUnknown; type <= kNote; ++type) {
    if (name == kTypeNames[type]) {
      return static_cast<Type>(type);
    }
  }
  return kUnknown;
}

}  // namespace oxk::illustration
