// The engine's side of the look-ahead: for a run with more than one transfer at a time
// it owns the pool and tells it which requests the run makes next, from where the run
// is (a page source being fetched, or a resource list being worked through), the rest
// of the list, the queue, and the pages fetched ahead, scanned ahead with the run's own
// scanner. The run itself stays sequential; only its fetches pass through the pool.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/name_list.h"
#include "http/lookahead_pool.h"

namespace harvelo {

class Engine;

class RunLookAhead {
 public:
  // Null when the settings ask for one transfer at a time: each fetcher then fetches
  // through a pool of its own, one request at a time.
  static std::unique_ptr<RunLookAhead> Start(Engine& engine);
  explicit RunLookAhead(Engine& engine);

  LookAheadPool* pool() { return pool_.get(); }

  // The run fetches the source of a queue entry.
  void EnterPage(const std::string& address, const std::string& referrer, const std::string& cookie,
                 int kind);
  // The run works through a resource list (one of the engine's own lists); `lastChance`:
  // when the list stores nothing the page's linked pages follow.
  void EnterList(const std::string& pageAddress, const CNameList& list, const std::string& cookie,
                 bool lastChance);
  // The list stored a resource.
  void Stored() { ++list_stored_; }
  void LeaveList();

 private:
  struct Entry {
    std::string address;
    int kind = PageEntry;
    std::string cookie;
    std::string referrer;
  };
  struct ScannedPage {
    std::vector<std::string> links, pages;
    std::vector<Entry> images;  // with their kinds (ResourceEntry, TypedPictureEntry)
    std::vector<Entry> frames;
  };

  void Plan(AheadPlan& plan);
  void PlanList(AheadPlan& plan);
  void PlanQueue(AheadPlan& plan);
  // A queue entry as the run driver will take it: a resource named directly, or a page
  // and what its source lists.
  void PlanEntry(AheadPlan& plan, const Entry& entry);
  // `scanAhead` false: only a scan made before is used.
  void PlanPage(AheadPlan& plan, const Entry& entry, bool scanAhead = true);
  void PlanPageLists(AheadPlan& plan, const Entry& entry, const ScannedPage& scanned);
  // `kind`: the list entry's, TypedPictureEntry for a picture its response types.
  const AheadView* AddResource(AheadPlan& plan, const std::string& address,
                               const std::string& pageAddress, const std::string& cookie,
                               int kind = ResourceEntry);
  const ScannedPage& Scan(const AheadView& view, const Entry& entry);

  Engine& engine_;
  std::unique_ptr<LookAheadPool> pool_;

  enum class Phase { kNone, kPage, kList };
  Phase phase_ = Phase::kNone;
  Entry page_;  // the entry whose source is fetched, or whose list is worked through
  std::string list_page_address_;
  const CNameList* list_ = nullptr;
  int list_stored_ = 0;
  bool last_chance_ = false;

  std::vector<Entry> frames_;         // frame pages the plan's scans append to the queue
  std::map<int, ScannedPage> scans_;  // by the pool's transfer id
  std::map<int, ScannedPage> next_scans_;
  std::unordered_set<std::string> planned_;  // resource addresses in the plan being made
  bool lists_unknown_ = false;               // the plan passed a page whose source isn't here
};

}  // namespace harvelo
