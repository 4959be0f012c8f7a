#include "engine/run_lookahead.h"

#include <algorithm>

#include "engine/address_rules.h"
#include "engine/engine.h"
#include "engine/harvest_rule.h"
#include "engine/html_file.h"
#include "engine/page_scan.h"
#include "engine/picture_types.h"
#include "engine/target_types.h"

namespace harvelo {
namespace {

// Nothing of this request will be stored: the run's list then stores nothing from it.
bool KnownNotStored(const AheadView* view) {
  if (view == nullptr) return false;
  if (view->failed) return true;
  return view->headersKnown && (!view->bodyWanted || view->status < 200 || view->status > 299);
}

bool IsSuccess(int status) {
  return status >= 200 && status <= 299;
}

}  // namespace

std::unique_ptr<RunLookAhead> RunLookAhead::Start(Engine& engine) {
  if (engine.settings().parallelTransfers <= 1) return nullptr;
  return std::make_unique<RunLookAhead>(engine);
}

RunLookAhead::RunLookAhead(Engine& engine) : engine_(engine) {
  LookAheadPool::Options options;
  options.maxTransfers = engine.settings().parallelTransfers;
  options.maxStreams = engine.settings().http2Streams;
  options.agent = engine.settings().userAgent;
  options.dumpHeaders = engine.settings().debug.header != 0;
  options.anonymousFiles = !engine.namedAheadFiles;
  // A thumbnail gallery's linked pages each bring one picture: as many pages ahead as
  // transfers keeps them all busy.
  options.maxPagesAhead = static_cast<size_t>(std::max(4, options.maxTransfers));
  pool_ = std::make_unique<LookAheadPool>(options, engine.destinationDir);
  pool_->planner = [this](AheadPlan& plan) { Plan(plan); };
  pool_->stopping = [&engine] { return engine.stopRequested != 0; };
  pool_->holding = [&engine] { return engine.paused != 0; };
}

void RunLookAhead::EnterPage(const std::string& address, const std::string& referrer,
                             const std::string& cookie, int kind) {
  phase_ = Phase::kPage;
  page_ = Entry{address, kind, cookie, referrer};
  list_ = nullptr;
}

void RunLookAhead::EnterList(const std::string& pageAddress, const CNameList& list,
                             const std::string& cookie, bool lastChance) {
  phase_ = Phase::kList;
  list_page_address_ = pageAddress;
  page_.cookie = cookie;
  list_ = &list;
  list_stored_ = 0;
  last_chance_ = lastChance;
}

void RunLookAhead::LeaveList() {
  phase_ = Phase::kNone;
  list_ = nullptr;
}

void RunLookAhead::Plan(AheadPlan& plan) {
  frames_.clear();
  next_scans_.clear();
  planned_.clear();
  lists_unknown_ = false;
  if (phase_ == Phase::kPage) {
    // The run scans its own page as soon as it has it: a page not scanned ahead before
    // (the run's first) is not scanned here as well, which would read a large page twice
    // for requests the run makes a moment later anyway.
    PlanPage(plan, page_, false);
    PlanQueue(plan);
  } else if (phase_ == Phase::kList) {
    PlanList(plan);
  }
  scans_.swap(next_scans_);
}

const AheadView* RunLookAhead::AddResource(AheadPlan& plan, const std::string& address,
                                           const std::string& pageAddress,
                                           const std::string& cookie, int kind) {
  // An address asked for once a run is fetched ahead once: a later mention is logged as
  // a copy without a request, or, when the first brought nothing, fetched by the run.
  // Behind a page not yet here, any address may turn out to be such a later mention.
  if (ContentChecks::AddressesOnce(engine_.settings()) &&
      (lists_unknown_ || engine_.contentChecks.StoredFrom(engine_.settings(), address) != nullptr ||
       !planned_.insert(address).second)) {
    return nullptr;
  }
  AheadRequest request;
  request.url = address;
  request.referer = pageAddress;
  request.cookies = cookie;
  const long long minimum = engine_.settings().minimumSizeKb;
  request.minimumBytes = minimum > 0 ? minimum * 1024 : 0;
  request.makeCutoff = PictureCutoffMaker(engine_.settings());
  if (kind == TypedPictureEntry) {
    // The run's own verdict on the head: what it refuses is not kept here either.
    request.acceptsHead = [types = engine_.settings().targetTypes](int status,
                                                                   std::string_view type) {
      return TypedPictureExtension(status, type, types).has_value();
    };
  }
  return plan.Add(std::move(request));
}

void RunLookAhead::PlanList(AheadPlan& plan) {
  // The rest of the list, from the resource being fetched on.
  bool nothingStored = list_stored_ == 0;
  list_->Walk([&](const char* text, int kind, const char*, const char*) {
    if (plan.Full()) return false;
    const AheadView* view = AddResource(plan, text, list_page_address_, page_.cookie, kind);
    nothingStored = nothingStored && KnownNotStored(view);
    return true;
  });
  if (plan.Full()) return;
  // The linked pages come next only when the list stores nothing: planned once every
  // outcome is known. Until then the queue behind them is planned all the same, and the
  // plan is made again (the linked pages may yet follow).
  if (last_chance_ && !nothingStored) plan.Unsure();
  if (last_chance_ && nothingStored) {
    std::vector<std::string> linked;
    engine_.PAGE_List.Walk([&](const char* text, int, const char*, const char*) {
      linked.emplace_back(text);
      return true;
    });
    // Queued at the head one by one: the last link first.
    for (auto it = linked.rbegin(); it != linked.rend() && !plan.Full(); ++it) {
      PlanEntry(plan, Entry{*it, LinkedPageEntry, page_.cookie, list_page_address_});
    }
  }
  PlanQueue(plan);
}

void RunLookAhead::PlanQueue(AheadPlan& plan) {
  engine_.URL_List.Walk([&](const char* text, int kind, const char* cookie, const char* referrer) {
    if (plan.Full()) return false;
    PlanEntry(plan, Entry{text, kind, cookie ? cookie : "", referrer ? referrer : ""});
    return true;
  });
  // Frame pages go to the tail of the queue when their page is scanned.
  for (size_t i = 0; i < frames_.size() && !plan.Full(); ++i) {
    const Entry frame = frames_[i];
    PlanEntry(plan, frame);
  }
}

void RunLookAhead::PlanEntry(AheadPlan& plan, const Entry& entry) {
  if (plan.Full()) return;
  if (IsDirectResource(entry.address, engine_.settings().targetTypes)) {
    const size_t slash = entry.address.rfind('/');
    AddResource(plan, entry.address,
                slash == std::string::npos ? "" : entry.address.substr(0, slash), entry.cookie);
    return;
  }
  PlanPage(plan, entry);
}

void RunLookAhead::PlanPage(AheadPlan& plan, const Entry& entry, bool scanAhead) {
  if (plan.Full()) return;
  std::string base, site;
  Set_Base_And_Site(entry.address, base, site);
  AheadRequest request;
  request.url = entry.address;
  request.referer = entry.referrer.empty() ? site : entry.referrer;
  request.cookies = entry.cookie;
  request.page = true;
  request.decodeBody = engine_.settings().compressedPages != 0;
  const AheadView* view = plan.Add(std::move(request));
  // What the page lists is known once its source is here.
  if (view == nullptr || !view->complete || (!scanAhead && !scans_.contains(view->id))) {
    lists_unknown_ = true;
    plan.Unsure();
    return;
  }
  if (!IsSuccess(view->status)) return;
  PlanPageLists(plan, entry, Scan(*view, entry));
}

void RunLookAhead::PlanPageLists(AheadPlan& plan, const Entry& entry, const ScannedPage& scanned) {
  for (const Entry& frame : scanned.frames) frames_.push_back(frame);
  const HarvestStep step = NextHarvestStep(scanned.links.size(), scanned.images.size(),
                                           scanned.pages.size(), entry.kind);
  if (step.list == HarvestStep::List::kLinks) {
    for (const std::string& link : scanned.links) {
      if (plan.Full()) return;
      AddResource(plan, link, entry.address, entry.cookie);
    }
    return;
  }
  bool nothingStored = true;
  for (const Entry& image : scanned.images) {
    if (plan.Full()) return;
    nothingStored =
        KnownNotStored(AddResource(plan, image.address, entry.address, entry.cookie, image.kind)) &&
        nothingStored;
  }
  if (step.linkedPagesIfNothingStored && !nothingStored) plan.Unsure();
  if (!step.linkedPagesIfNothingStored || !nothingStored) return;
  for (auto it = scanned.pages.rbegin(); it != scanned.pages.rend() && !plan.Full(); ++it) {
    PlanEntry(plan, Entry{*it, LinkedPageEntry, entry.cookie, entry.address});
  }
}

const RunLookAhead::ScannedPage& RunLookAhead::Scan(const AheadView& view, const Entry& entry) {
  if (auto known = scans_.find(view.id); known != scans_.end()) {
    return next_scans_[view.id] = std::move(known->second);
  }
  ScannedPage& scanned = next_scans_[view.id];
  // The scan of Download_Source, into lists of its own.
  const bool modern = engine_.settings().modernPages != 0;
  HTMLFile html(modern ? kModernTagBufferSize : 512);
  if (!html.Open(view.bodyPath)) return scanned;
  std::string title;
  CNameList links, images, pages, queue;
  PageScanTarget target;
  target.targetTypes = &engine_.settings().targetTypes;
  target.pageAddress = &entry.address;
  target.pageTitle = &title;
  target.links = &links;
  target.images = &images;
  target.pages = &pages;
  target.queue = &queue;
  target.cookie = entry.cookie.empty() ? nullptr : entry.cookie.c_str();
  target.referrer = entry.referrer.empty() ? nullptr : entry.referrer.c_str();
  target.modernPages = modern;
  ScanPage(html, target);
  auto texts = [](const CNameList& list, std::vector<std::string>& out) {
    list.Walk([&](const char* text, int, const char*, const char*) {
      out.emplace_back(text);
      return true;
    });
  };
  texts(links, scanned.links);
  images.Walk([&](const char* text, int kind, const char*, const char*) {
    scanned.images.push_back(Entry{text, kind, "", ""});
    return true;
  });
  texts(pages, scanned.pages);
  queue.Walk([&](const char* text, int kind, const char* cookie, const char* referrer) {
    scanned.frames.push_back(Entry{text, kind, cookie ? cookie : "", referrer ? referrer : ""});
    return true;
  });
  return scanned;
}

}  // namespace harvelo
