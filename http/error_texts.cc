#include "http/error_texts.h"

#include "http/http_fetcher.h"
#include "platform/format.h"
#include "platform/string_table.h"

namespace harvelo {

namespace {
constexpr std::uint32_t kCannotConnect = 12029;
}  // namespace

std::string PageFetchErrorText(const HTTPFetcher& fetcher) {
  if (fetcher.m_dwErrorCode == kCannotConnect) return LoadResString(IDS_CANNOT_CONNECT);
  const unsigned long code = fetcher.m_dwErrorCode;
  return FormatText(LoadResString(IDS_CANNOT_DOWNLOAD_SOURCE), code, code, fetcher.m_szErrorDesc,
                    fetcher.m_szErrorContext);
}

const char* Status_Suffix(int status) {
  switch (status) {
    case 401:
      return LoadResString(IDS_SUFFIX_401);
    case 403:
      return LoadResString(IDS_SUFFIX_403);
    case 404:
      return LoadResString(IDS_SUFFIX_404);
    case 500:
      return LoadResString(IDS_SUFFIX_500);
    default:
      return LoadResString(IDS_SUFFIX_OTHER);
  }
}

std::string ServerRefusedText(int status) {
  return FormatText(LoadResString(IDS_SERVER_REFUSED), status, Status_Suffix(status));
}

}  // namespace harvelo
