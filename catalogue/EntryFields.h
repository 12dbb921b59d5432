// The fields shape and image entries both have (texts, tooltip switches, thumbnails,
// file location, sequencer tags) and the operations that are the same on both. Each
// entry class holds one and names the accessors its interface gives them.
#pragma once

#include <string>

#include "orrinsymbols/common/SequencerTagList.h"

namespace oxsymbols::detail {

struct EntryFields {
  // An empty title stores the prefix followed by the identifier given.
  void SetTitle(const std::string& text, const char* prefix, int id) {
    title = text.empty() ? prefix + std::to_string(id) : text;
  }

  // Tags are shared objects; the indexes are the caller's to keep in range.
  void AddSequencerTag(const util::SmartPtr<oxk::illustration::SequencerTag>& tag) { sequencerTags.push_back(tag); }
  void SetSequencerTag(unsigned int index, const util::SmartPtr<oxk::illustration::SequencerTag>& tag) {
    sequencerTags[index] = tag;
  }
  void DelSequencerTag(int index) { sequencerTags.erase(sequencerTags.begin() + index); }
  void GetSequencerTags(oxcommon::SequencerTagList& out) const {
    if (&out != &sequencerTags) {
      out = sequencerTags;
    }
  }

  std::string title;
  std::string description;
  oxcommon::SequencerTagList sequencerTags;
  bool showTooltipTitle = true;
  bool showTooltipDescription = false;
  std::string tooltip;
  std::string galleryThumbnailUrl;
  std::string dlgThumbnailUrl;
  std::string url;
};

}  // namespace oxsymbols::detail
