#include "engine/web_address_log.h"

#include "http/http_fetcher.h"
#include "platform/string_table.h"

namespace harvelo {

std::string WebAddressLogPath(const std::string& destinationDir, const std::string& prefix) {
  return destinationDir + prefix + "waddr.txt";
}

bool WebAddressLog::Open(const std::string& path, const std::string& pageAddress,
                         const std::string& pageTitle) {
  // The test comes before the open, which creates the file.
  const bool hadData = FileHasData(path) != 0;
  if (!file_.Open(path, TextWriter::Mode::kAppend)) return false;
  if (!hadData) {
    file_.Write(LoadResString(IDS_WADDR_HEADER));
    file_.Write(LoadResString(IDS_WADDR_CREATED_WITH));
    file_.PrintfText(LoadResString(IDS_WADDR_CONTAINER_PAGE), pageAddress.c_str());
    file_.PrintfText(LoadResString(IDS_WADDR_PAGE_TITLE), pageTitle.c_str());
    file_.Write(LoadResString(IDS_WADDR_FILE_INDEX));
    file_.Flush();
  }
  return true;
}

void WebAddressLog::Stored(const std::string& address, const std::string& file) {
  if (file_.IsOpen()) {
    file_.PrintfText(LoadResString(IDS_WADDR_OK), address.c_str(), file.c_str());
    file_.Flush();
  }
}

void WebAddressLog::HttpError(int status, const std::string& address, const std::string& file) {
  if (file_.IsOpen()) {
    file_.PrintfText(LoadResString(IDS_WADDR_HTTP_ERROR), status, address.c_str(), file.c_str());
    file_.Flush();
  }
}

void WebAddressLog::TooSmall(const std::string& address) {
  if (file_.IsOpen()) {
    file_.PrintfText(LoadResString(IDS_WADDR_TOO_SMALL), address.c_str());
    file_.Flush();
  }
}

void WebAddressLog::NotPicture(const std::string& address) {
  if (file_.IsOpen()) {
    file_.PrintfText(LoadResString(IDS_WADDR_NOT_PICTURE), address.c_str());
    file_.Flush();
  }
}

void WebAddressLog::Duplicate(const std::string& address, const std::string& copy) {
  if (file_.IsOpen()) {
    file_.PrintfText(LoadResString(IDS_WADDR_DUPLICATE), address.c_str(), copy.c_str());
  }
}

void WebAddressLog::Stopped(const std::string& address, const std::string& file) {
  if (file_.IsOpen()) {
    file_.PrintfText(LoadResString(IDS_WADDR_STOPPED), address.c_str(), file.c_str());
    file_.Flush();
  }
}

void WebAddressLog::Failed(const std::string& address, const std::string& file) {
  if (file_.IsOpen()) {
    file_.PrintfText(LoadResString(IDS_WADDR_ERROR), address.c_str(), file.c_str());
    file_.Flush();
  }
}

}  // namespace harvelo
