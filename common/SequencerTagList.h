// The list of sequencer tags that catalogue entries, creation records and annotations
// carry: shared references, so copying a list shares the tag objects.
#pragma once

#include <vector>

#include "orrinsymbols/oxk/illustration/SequencerTag.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxcommon {

using SequencerTagList = std::vector<util::SmartPtr<oxk::illustration::SequencerTag>>;

}  // namespace oxcommon
