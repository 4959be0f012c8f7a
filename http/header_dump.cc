#include "http/header_dump.h"

#include "http/response_head.h"
#include "platform/text_file.h"

namespace harvelo {

void WriteHeaderDump(const std::string& outPath, const std::optional<std::string>& requestBlock,
                     const std::optional<std::string>& responseBlock) {
  TextWriter dump;
  if (!dump.Open(HeaderDumpPath(outPath), TextWriter::Mode::kReplace)) return;
  dump.Write("*** Request Headers ***\n");
  dump.Write(requestBlock ? *requestBlock
                          : std::string("QueryInfo(HTTP_QUERY_FLAG_REQUEST_HEADERS,) Failed.\n"));
  dump.Write("*** Response Headers ***\n");
  dump.Write(responseBlock ? *responseBlock
                           : std::string("QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF,) Failed.\n"));
  dump.Close();
}

}  // namespace harvelo
