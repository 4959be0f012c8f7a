#include "open_pages/browser_windows.h"

#include "open_pages/error_texts.h"
#include "platform/json_nesting.h"

namespace harvelo::inspector {

namespace {

std::string StringField(const nlohmann::json& object, const char* name) {
  if (!object.is_object()) return "";
  const auto it = object.find(name);
  return it != object.end() && it->is_string() ? it->get<std::string>() : "";
}

}  // namespace

void PassState::Report(ErrorReporter& errors, const std::string& wrapper,
                       const std::string& operation, CallResult result, const std::string& error) {
  if (result == CallResult::kTransport) unreachable = true;
  if (reported) return;
  reported = true;
  const auto kind =
      result == CallResult::kRefused ? FailureKind::kDispatchException : FailureKind::kOleException;
  errors.Report(ErrorText(wrapper, operation, kind) + error);
}

HTML_Document::HTML_Document(std::unique_ptr<DevToolsConnection> page, std::string url,
                             ErrorReporter& errors, std::shared_ptr<PassState> pass)
    : page_(std::move(page)), url_(std::move(url)), errors_(errors), pass_(std::move(pass)) {}

HTML_Document::~HTML_Document() {
  page_->ClosePage();
}

void HTML_Document::ReportFailure(const std::string& operation, CallResult result,
                                  const std::string& error) {
  pass_->Report(errors_, "HTML_Document", operation, result, error);
}

std::string HTML_Document::EvaluateString(const std::string& operation,
                                          const std::string& expression) {
  nlohmann::json result;
  std::string error;
  auto rc = page_->Call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}},
                        result, error);
  if (rc == CallResult::kOk && result.contains("exceptionDetails")) {
    rc = CallResult::kRefused;
    error = StringField(result["exceptionDetails"], "text");
  }
  if (rc != CallResult::kOk) {
    ReportFailure(operation, rc, error);
    return "";
  }
  return result.contains("result") ? StringField(result["result"], "value") : "";
}

std::string HTML_Document::GetTitle() {
  return EvaluateString("GetTitle", "document.title");
}

std::string HTML_Document::GetReferrer() {
  return EvaluateString("GetReferrer", "document.referrer");
}

std::string HTML_Document::GetCookie() {
  // The browser's cookie store, not document.cookie: a session cookie is usually
  // HttpOnly, and the page's script never sees it.
  nlohmann::json result;
  std::string error;
  const auto rc =
      page_->Call("Network.getCookies", {{"urls", nlohmann::json::array({url_})}}, result, error);
  if (rc != CallResult::kOk) {
    ReportFailure("GetCookie", rc, error);
    return "";
  }
  std::string cookie;
  if (result.contains("cookies") && result["cookies"].is_array()) {
    for (const auto& c : result["cookies"]) {
      if (!cookie.empty()) cookie += "; ";
      cookie += StringField(c, "name") + "=" + StringField(c, "value");
    }
  }
  return cookie;
}

std::unique_ptr<HTML_Document> IE_Window::GetDocument() {
  if (pass_->unreachable) return nullptr;
  auto page = std::make_unique<DevToolsConnection>(port_, std::chrono::seconds(2), pass_->deadline);
  std::string error = "the page has no debugger address";
  const auto rc = target_.socket_path.empty() ? CallResult::kRefused
                                              : page->OpenPage(target_.socket_path, error);
  if (rc != CallResult::kOk) {
    pass_->Report(errors_, "IE_Window", "GetDocument", rc, error);
    return nullptr;
  }
  return std::make_unique<HTML_Document>(std::move(page), target_.url, errors_, pass_);
}

ShellWindows::ShellWindows(int port, ErrorReporter& errors, std::chrono::milliseconds timeLimit)
    : port_(port),
      errors_(errors),
      pass_(std::make_shared<PassState>(
          PassState{std::chrono::steady_clock::now() + timeLimit, false, false})) {}

bool ShellWindows::Connect() {
  if (endpoint_) return true;
  auto endpoint =
      std::make_unique<DevToolsConnection>(port_, std::chrono::seconds(2), pass_->deadline);
  if (!endpoint->Connect()) return false;
  endpoint_ = std::move(endpoint);
  return true;
}

int ShellWindows::GetCount() {
  if (!endpoint_) return -1;
  std::string body, error;
  auto rc = endpoint_->HttpGet("/json/list", body, error);
  if (rc == CallResult::kOk && !ParsePageList(body, pages_)) {
    rc = CallResult::kRefused;
    error = "the page list is not a list";
  }
  if (rc != CallResult::kOk) {
    pass_->Report(errors_, "ShellWindows", "GetCount", rc, error);
    pages_.clear();
    return -2;
  }
  return static_cast<int>(pages_.size());
}

std::optional<IE_Window> ShellWindows::Item(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size())) return std::nullopt;
  return IE_Window(pages_[static_cast<size_t>(index)], port_, errors_, pass_);
}

}  // namespace harvelo::inspector
