#include "engine/harvest_rule.h"

#include "engine/name_list.h"

namespace harvelo {

HarvestStep NextHarvestStep(size_t links, size_t images, size_t linkedPages, int kind) {
  HarvestStep step;
  if (links > 0) {
    step.list = HarvestStep::List::kLinks;
    return step;
  }
  if (images > 0) step.list = HarvestStep::List::kImages;
  step.linkedPagesIfNothingStored = linkedPages > 0 && kind == PageEntry;
  return step;
}

}  // namespace harvelo
