// What a page's scan sends the run to: its links, else its embedded images, else, when
// those store nothing and the page was queued as a page (not reached through a
// thumbnail), the pages its thumbnails link to, one level deep. The run driver and the
// look-ahead's planner both ask this, so that the requests planned ahead are the run's.
#pragma once
#include <cstddef>

namespace harvelo {

struct HarvestStep {
  enum class List { kNone, kLinks, kImages };
  List list = List::kNone;
  // The page's linked pages are queued when `list` stores nothing.
  bool linkedPagesIfNothingStored = false;
};

// `kind` is the queue entry's kind (PageEntry, LinkedPageEntry).
HarvestStep NextHarvestStep(size_t links, size_t images, size_t linkedPages, int kind);

}  // namespace harvelo
