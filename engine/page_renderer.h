// Another source of a page's text and picture list: a browser that loads the page, runs
// its scripts and scrolls it, as a reader would. The engine scans the document the
// browser built instead of the one the server sent; a fake stands in for the browser in
// the engine's tests.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace harvelo {

struct RenderedPage {
  std::string html;  // the document as the browser holds it after its scripts ran
  // The pictures the page loaded (IMG elements and CSS backgrounds), absolute addresses
  // in the order the browser asked for them.
  std::vector<std::string> pictures;
  // The browser's cookies for the page, HttpOnly ones included, as lines of the
  // Netscape cookie-file format (domain, subdomains, path, secure, expiry, name, value).
  std::vector<std::string> cookies;
};

class PageRenderer {
 public:
  virtual ~PageRenderer() = default;
  // Loads `address`, sending `cookie` ("a=1; b=2", may be empty) with it. 1 with `page`
  // filled, or 0 with `error` saying why. `goOn` is asked often while the page loads
  // (the window is kept alive there, Pause held); false gives the page up at once.
  virtual int Render(const std::string& address, const std::string& cookie, RenderedPage& page,
                     std::string& error, const std::function<bool()>& goOn) = 0;
};

// Starts the renderer of one run (a run starts at most one); null, with `error` for the
// user, when it can't be had.
using PageRendererFactory = std::function<std::unique_ptr<PageRenderer>(std::string& error)>;

// The values of Settings::renderedPages.
enum RenderedPagesMode : int {
  kRenderNever = 0,
  kRenderBrowserPages = 1,  // pages taken from an open browser (as that browser shows them)
  kRenderTypedPages = 2,    // and typed and batched addresses, in a browser without a window
};

}  // namespace harvelo
