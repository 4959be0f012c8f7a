#include "devtools/open_tab_reader.h"

#include "devtools/devtools_connection.h"
#include "devtools/page_list.h"
#include "devtools/shown_page.h"

namespace harvelo::devtools {
namespace {

class OpenTabReader : public PageRenderer {
 public:
  OpenTabReader(int port, std::chrono::milliseconds timeLimit)
      : port_(port), time_limit_(timeLimit) {}

  int Render(const std::string& address, const std::string&, RenderedPage& page, std::string& error,
             const std::function<bool()>&) override {
    page = {};
    // One limit for the whole read: the list, the tab's socket and every call on it.
    const auto deadline = std::chrono::steady_clock::now() + time_limit_;
    DevToolsConnection endpoint(port_, time_limit_, deadline);
    std::string body;
    std::vector<PageTarget> pages;
    if (!endpoint.Connect()) {
      error = "the browser does not answer";
      return 0;
    }
    if (endpoint.HttpGet("/json/list", body, error) != CallResult::kOk) return 0;
    if (!ParsePageList(body, pages)) {
      error = "the page list is not a list";
      return 0;
    }
    const PageTarget* tab = nullptr;
    for (const PageTarget& p : pages) {
      if (p.url == address && !p.socket_path.empty()) {
        tab = &p;
        break;
      }
    }
    if (tab == nullptr) {
      error = "the page is no longer open";
      return 0;
    }
    DevToolsConnection socket(port_, time_limit_, deadline);
    if (socket.OpenPage(tab->socket_path, error) != CallResult::kOk) return 0;
    // The cookies for the page's address; those of the picture hosts are asked for
    // once the pictures are known.
    if (!ReadShownPage(socket, {address}, page, error)) return 0;
    std::vector<std::string> urls{address};
    urls.insert(urls.end(), page.pictures.begin(), page.pictures.end());
    if (page.pictures.empty()) return 1;
    nlohmann::json result;
    if (socket.Call("Network.getCookies", {{"urls", urls}}, result, error) != CallResult::kOk) {
      return 0;
    }
    page.cookies.clear();
    if (result.contains("cookies") && result["cookies"].is_array()) {
      for (const auto& c : result["cookies"]) page.cookies.push_back(CookieFileLine(c));
    }
    return 1;
  }

 private:
  int port_;
  std::chrono::milliseconds time_limit_;
};

}  // namespace

std::unique_ptr<PageRenderer> MakeOpenTabReader(int port, std::chrono::milliseconds timeLimit) {
  return std::make_unique<OpenTabReader>(port, timeLimit);
}

}  // namespace harvelo::devtools
