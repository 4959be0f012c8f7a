// HTMLFile: a small tokenizer that reads one stored page token by token, with two fixed
// buffers of bufferSize bytes (512) reused for every token.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_file.h"

namespace harvelo {

enum TokenKind : int {
  kTokenEnd = 0,
  kTokenText = 1,
  kTokenOtherTag = 2,
  kTokenHtml = 3,
  kTokenHead = 4,
  kTokenBody = 5,
  kTokenTitle = 6,
  kTokenA = 7,
  kTokenImg = 8,
  kTokenTable = 9,
  kTokenTr = 10,
  kTokenTd = 11,
  kTokenFrameset = 12,
  kTokenFrame = 13,
  kTokenBase = 14,
};

class HTMLFile {
 public:
  explicit HTMLFile(int bufferSize = 512);

  bool Open(const std::string& path);  // text mode; closes any file open before
  bool OpenMemory(std::string_view text);
  void Close();

  // 1 with a token, 0 at the end. Without `wantText` a text (the words up to the next
  // tag) is one token of kind kTokenText with an empty token, read at once.
  int NextToken(bool wantText = true);
  int ExtractHref();  // 1 with token = the HREF= value, else 0 with token unchanged
  int ExtractSrc();   // the same for SRC=

  // Copies token into work, upper-cased (ASCII letters only), and returns work.
  const char* UpperTokenToWork();
  bool IsOpen() const { return file_.IsOpen(); }

  int kind = kTokenEnd;
  int closing = 0;  // 0 text or end, 1 opening tag, 2 closing tag
  const char* token() const { return token_.data(); }
  const char* work() const { return work_.data(); }
  int bufferSize() const { return buffer_size_; }

 private:
  int Extract(const char* attribute, size_t attributeLength);

  int buffer_size_;
  std::vector<char> token_;
  std::vector<char> work_;
  TextReader file_;
};

}  // namespace harvelo
