#include "devtools/chromium_renderer.h"

#include <set>
#include <thread>

#include "devtools/devtools_connection.h"
#include "devtools/headless_chromium.h"
#include "devtools/page_list.h"
#include "devtools/shown_page.h"
#include "http/cookie_store.h"

namespace harvelo::devtools {
namespace {

using Clock = std::chrono::steady_clock;

// The page counts as settled once nothing happened for this long; or for the shorter
// time when a scroll to its end stirred nothing at all (no request, no growth, no timer
// set): what a scroll handler puts off is counted as a timer while it waits.
constexpr std::chrono::milliseconds kQuietTime{300};
constexpr std::chrono::milliseconds kStillTime{150};
constexpr std::chrono::milliseconds kPollInterval{25};

// Run in every document before its own scripts. Resource timing keeps 250 entries unless
// told otherwise; a long gallery has more. And the short timers the page's events set
// (a scroll handler that loads the next part a moment later, a debounce) are counted
// until they fire, so that waiting for quiet does not end before they do; timers set by
// timers (animations, polling) and long ones are left out, or a page could never be quiet.
constexpr char kDocumentScript[] = R"((() => {
  performance.setResourceTimingBufferSize(1000000);
  const set = window.setTimeout, clear = window.clearTimeout, pending = new Set();
  let inTimer = 0;
  window.setTimeout = function (f, ms, ...args) {
    if (inTimer || typeof f !== "function" || !((Number(ms) || 0) <= 1000)) {
      return set.apply(this, arguments);
    }
    const id = set.call(this, (...a) => {
      pending.delete(id);
      inTimer++;
      try { return f.apply(this, a); } finally { inTimer--; }
    }, ms, ...args);
    pending.add(id);
    return id;
  };
  window.clearTimeout = function (id) {
    pending.delete(id);
    return clear.apply(this, arguments);
  };
  Object.defineProperty(window, "__harveloTimers", {value: () => pending.size});
})())";
// One exchange with the browser beyond the render's own bound (a page that never
// answers its navigation): then the tab is given up.
constexpr std::chrono::seconds kExchangeMargin{5};

class ChromiumRenderer : public PageRenderer {
 public:
  explicit ChromiumRenderer(const RenderBounds& bounds) : bounds_(bounds) {}

  bool Start(std::string& error) { return browser_.Start(ChromiumProgram(), error); }

  int Render(const std::string& address, const std::string& cookie, RenderedPage& page,
             std::string& error, const std::function<bool()>& goOn) override {
    page = {};
    go_on_ = &goOn;
    if (!page_ && !OpenTab(error)) return 0;
    const int rc = RenderInTab(address, cookie, page, error);
    // A tab that failed may be in any state: the next page gets a new one.
    if (rc == 0) page_.reset();
    return rc;
  }

 private:
  bool Ok(CallResult rc) { return rc == CallResult::kOk; }

  // One tab serves every page of the run: the one the browser opened at its start, or
  // a new one after a failure. Making a tab costs about as long as loading a page.
  bool OpenTab(std::string& error) {
    DevToolsConnection endpoint(browser_.port(), kExchangeMargin);
    std::string body;
    std::vector<PageTarget> pages;
    if (!endpoint.Connect() || !Ok(endpoint.HttpGet("/json/list", body, error)) ||
        !ParsePageList(body, pages)) {
      if (error.empty()) error = "the browser lists no pages";
      return false;
    }
    std::string path;
    if (!first_tab_taken_ && !pages.empty()) {
      path = pages.front().socket_path;
      first_tab_taken_ = true;
    } else {
      DevToolsConnection control(browser_.port(), kExchangeMargin);
      nlohmann::json result;
      if (!Ok(control.OpenPage(browser_.browserPath(), error)) ||
          !Ok(control.Call("Target.createTarget", {{"url", "about:blank"}}, result, error))) {
        return false;
      }
      path = "/devtools/page/" + StringField(result, "targetId");
    }
    page_ = std::make_unique<DevToolsConnection>(
        browser_.port(),
        std::chrono::duration_cast<std::chrono::milliseconds>(bounds_.time + kExchangeMargin));
    page_->onEvent = [this](const nlohmann::json& event) { OnEvent(event); };
    nlohmann::json result;
    if (!Ok(page_->OpenPage(path, error)) ||
        !Call("Network.enable", nlohmann::json::object(), result, error) ||
        !Call("Page.enable", nlohmann::json::object(), result, error) ||
        !Call("Page.addScriptToEvaluateOnNewDocument", {{"source", kDocumentScript}}, result,
              error)) {
      page_.reset();
      return false;
    }
    return true;
  }

  // One command on the tab; false (the render given up) when it fails.
  bool Call(const std::string& method, const nlohmann::json& params, nlohmann::json& result,
            std::string& error) {
    return Ok(page_->Call(method, params, result, error));
  }

  bool Evaluate(const std::string& expression, nlohmann::json& value, std::string& error,
                bool awaitPromise = false) {
    return devtools::Evaluate(*page_, expression, value, error, awaitPromise);
  }

  // The page's state as one poll sees it.
  struct Shown {
    bool complete = false;  // the document and everything it asked for while loading
    double height = 0;      // scrollHeight
    int timers = 0;         // short timers the page's events set and that have not fired
    bool operator==(const Shown&) const = default;
  };

  bool Poll(Shown& shown, std::string& error) {
    nlohmann::json state;
    // (Between the navigation and the new document there is no documentElement.)
    if (!Evaluate("[document.readyState, document.documentElement ? "
                  "document.documentElement.scrollHeight : 0, "
                  "typeof __harveloTimers === 'function' ? __harveloTimers() : 0]",
                  state, error)) {
      return false;
    }
    shown = {};
    if (!state.is_array() || state.size() != 3 || !state[1].is_number() || !state[2].is_number()) {
      return true;
    }
    shown.complete = load_fired_ && state[0] == "complete";
    shown.height = state[1].get<double>();
    shown.timers = state[2].get<int>();
    return true;
  }

  // Scrolls to the end of the page, in one step, and waits until the page has had two
  // frames to answer (its scroll handlers and observers have run).
  bool ScrollToEnd(std::string& error) {
    nlohmann::json ignored;
    return Evaluate(
        "window.scrollTo(0, document.documentElement.scrollHeight);"
        "new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))",
        ignored, error, /*awaitPromise=*/true);
  }

  // Loads the page and scrolls it to its end while it grows: as soon as the page is idle
  // (loaded, no request under way) and taller than at the last scroll, it is scrolled
  // again; it is done once nothing at all happened (no request, no growth, no timer its
  // events set pending) for kQuietTime, or kStillTime after a scroll that stirred nothing,
  // or at the bounds. False only when the tab broke or the run was stopped.
  bool LoadAndScroll(Clock::time_point deadline, std::string& error) {
    auto quietSince = Clock::now();
    size_t lastSeen = requests_seen_;
    Shown last;
    double scrolledAt = -1;  // the page's height at the last scroll
    int screens = 0;
    bool stirred = true;  // something happened since the last scroll
    for (;;) {
      Shown now;
      if (!Poll(now, error)) return false;
      const bool idle = now.complete && in_flight_.empty();
      const bool moved = !idle || now.timers > 0 || requests_seen_ != lastSeen || !(now == last);
      if (moved) {
        quietSince = Clock::now();
        lastSeen = requests_seen_;
        last = now;
        stirred = true;
      }
      if (Clock::now() >= deadline) return true;
      // (Idle at two polls in a row: a list that has just arrived is made into
      // pictures a moment later, and a scroll before that would be spent for nothing.)
      if (!moved && now.height > scrolledAt && screens < bounds_.screens) {
        if (!ScrollToEnd(error)) return false;
        ++screens;
        scrolledAt = now.height;
        quietSince = Clock::now();
        stirred = false;
        continue;
      }
      if (Clock::now() - quietSince >= (stirred ? kQuietTime : kStillTime)) return true;
      if (!(*go_on_)()) {
        error = "stopped";
        return false;
      }
      std::this_thread::sleep_for(kPollInterval);
    }
  }

  int RenderInTab(const std::string& address, const std::string& cookie, RenderedPage& page,
                  std::string& error) {
    const auto deadline = Clock::now() + bounds_.time;
    in_flight_.clear();
    requests_seen_ = 0;
    load_fired_ = false;
    nlohmann::json result;
    // The queue entry's cookies travel with the page, as they do with a fetch.
    WalkCookieList(cookie, 4096, [&](std::string_view element) {
      const std::string text(element.substr(0, element.find(';')));
      const auto equals = text.find('=');
      if (equals == std::string::npos || equals == 0) return;
      nlohmann::json ignored;
      std::string ignoredError;
      page_->Call(
          "Network.setCookie",
          {{"name", text.substr(0, equals)}, {"value", text.substr(equals + 1)}, {"url", address}},
          ignored, ignoredError);
    });
    if (!Call("Page.navigate", {{"url", address}}, result, error)) return 0;
    if (!StringField(result, "errorText").empty()) {
      error = StringField(result, "errorText");
      return 0;
    }
    // A move within the document (only the fragment differs) loads nothing.
    if (StringField(result, "loaderId").empty()) load_fired_ = true;
    if (!LoadAndScroll(deadline, error)) return 0;

    // The throw-away profile holds this run's cookies only: all of them go.
    if (!ReadShownPage(*page_, {}, page, error)) return 0;
    return 1;
  }

  void OnEvent(const nlohmann::json& event) {
    const std::string method = StringField(event, "method");
    if (!event.contains("params")) return;
    const std::string id = StringField(event["params"], "requestId");
    if (method == "Network.requestWillBeSent") {
      in_flight_.insert(id);
      ++requests_seen_;
    } else if (method == "Network.loadingFinished" || method == "Network.loadingFailed") {
      in_flight_.erase(id);
    } else if (method == "Page.loadEventFired") {
      load_fired_ = true;
    }
  }

  RenderBounds bounds_;
  HeadlessChromium browser_;
  std::unique_ptr<DevToolsConnection> page_;  // the run's tab
  bool first_tab_taken_ = false;
  std::set<std::string> in_flight_;
  size_t requests_seen_ = 0;
  bool load_fired_ = false;  // the navigated document's load event
  const std::function<bool()>* go_on_ = nullptr;
};

}  // namespace

std::unique_ptr<PageRenderer> StartChromiumRenderer(const RenderBounds& bounds,
                                                    std::string& error) {
  auto renderer = std::make_unique<ChromiumRenderer>(bounds);
  if (!renderer->Start(error)) return nullptr;
  return renderer;
}

}  // namespace harvelo::devtools
