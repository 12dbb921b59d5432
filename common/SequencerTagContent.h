// The saved form of sequencer tags that 3D and 2D symbols share: one child element per
// tag holding its type, description, name, units and quantity as symbols.
#pragma once

#include "orrinsymbols/common/SequencerTagList.h"
#include "orrinsymbols/oxk/SerializedContentElement.h"
#include "orrinsymbols/oxk/illustration/SequencerTag.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxcommon {

// Adds one tag child to element for each entry of tags. An empty entry leaves its child
// empty and open.
void WriteSequencerTags(const util::SmartPtr<oxk::SerializedContentElement>& element, const SequencerTagList& tags);

// Applies one saved tag property to tag. True when key is a tag property, also without a
// tag to take it (a property outside any tag element is dropped); false for other keys.
[[nodiscard]] bool ReadSequencerTagProperty(const util::SmartPtr<oxk::illustration::SequencerTag>& tag,
                                            const util::Symbol& key, const util::Symbol& value);

}  // namespace oxcommon
