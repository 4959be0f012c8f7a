// The command line of harvelo-cli: what to fetch, and the settings that one run
// overrides without saving them.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace harvelo::cli {

// The answer to "continue with the queued pages?" after a stop.
enum class ContinueAnswer { kAsk, kYes, kNo };

struct CommandLine {
  std::vector<std::string> addresses;  // normalised: each begins with http:// or https://
  std::optional<std::string> batchFile;
  std::optional<std::string> destinationDir;  // as typed; the field rule comes later
  std::optional<std::string> prefix;          // as typed
  std::optional<std::string> targetTypes;     // normalised: ",JPG,GIF"
  std::optional<int> minimumSizeKb;
  std::optional<int> autoIncrement;
  bool noWebAddressLog = false;
  std::optional<int> language;  // kLanguageEnglish or kLanguageSpanish
  ContinueAnswer continueAnswer = ContinueAnswer::kAsk;
  bool quiet = false;
  std::optional<int> parallelTransfers;  // 1 to 16
  std::optional<int> http2Streams;       // 0 to 128
  std::optional<int> compressedPages;    // --compressed-pages 1, --no-compressed-pages 0
  std::optional<int> renderedPages;      // --render 2 (typed addresses too), --no-render 0
  std::optional<std::string> caCertificateFile;
  bool help = false;
  bool version = false;
  // Write HV_conf.cfg and HV_recent.cfg back after the run; without it a console run
  // leaves the working directory as it was.
  bool saveSettings = false;
  std::optional<int> modernPages;          // --modern 1, --no-modern 0
  std::optional<int> minimumPictureWidth;  // --min-picture WxH
  std::optional<int> minimumPictureHeight;
  bool keepDuplicates = false;
  bool skipKnownFiles = false;
};

struct ParseResult {
  CommandLine line;
  std::string error;  // empty when the command line is usable
};

// args: the arguments after the program name. "--opt VALUE" and "--opt=VALUE" both work;
// "--" ends the options. --help or --version alone is enough; otherwise an address or --batch is
// needed.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

}  // namespace harvelo::cli
