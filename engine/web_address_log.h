// The web-address log beside the stored resources: destination + prefix + "waddr.txt",
// a text file (CR LF line ends) in the interface language, appended to per list.
#pragma once
#include <string>

#include "platform/text_file.h"

namespace harvelo {

std::string WebAddressLogPath(const std::string& destinationDir, const std::string& prefix);

class WebAddressLog {
 public:
  // Opens the log for appending and, when it was missing or empty, writes its header
  // with the container page and its title. False when it can't be opened: the lines of
  // this list are then not written, and nobody is told.
  bool Open(const std::string& path, const std::string& pageAddress, const std::string& pageTitle);
  void Close() { file_.Close(); }

  // One line per resource, by outcome; `file` is the full local path. Each line reaches
  // the file at once, so that a run killed later still tells where its files came from.
  void Stored(const std::string& address, const std::string& file);
  void HttpError(int status, const std::string& address, const std::string& file);
  void TooSmall(const std::string& address);
  // Refused by the type its response announced.
  void NotPicture(const std::string& address);
  // Not stored: `copy` is the stored file with the same bytes.
  void Duplicate(const std::string& address, const std::string& copy);
  void Stopped(const std::string& address, const std::string& file);
  void Failed(const std::string& address, const std::string& file);

 private:
  TextWriter file_;
};

}  // namespace harvelo
