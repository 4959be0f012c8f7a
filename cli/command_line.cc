#include "cli/command_line.h"

#include <getopt.h>

#include <charconv>
#include <climits>
#include <cstring>

#include "engine/field_rules.h"
#include "settings/interface_language.h"
#include "settings/settings.h"

namespace harvelo::cli {
namespace {

// What each long option's getopt value stands for; -h and -q share theirs with the long
// spellings, so one switch handles both.
enum OptionId : int {
  kHelp = 'h',
  kQuiet = 'q',
  kBatch = 256,
  kDest,
  kPrefix,
  kTypes,
  kMinSize,
  kAutoInc,
  kNoAutoInc,
  kNoWebAddr,
  kLang,
  kYes,
  kNo,
  kModern,
  kNoModern,
  kMinPicture,
  kKeepDuplicates,
  kSkipKnown,
  kParallel,
  kStreams,
  kCompressedPages,
  kNoCompressedPages,
  kRender,
  kNoRender,
  kCaCertificate,
  kSaveSettings,
  kVersion,
};

constexpr option kLongOptions[] = {
    {"help", no_argument, nullptr, kHelp},
    {"quiet", no_argument, nullptr, kQuiet},
    {"batch", required_argument, nullptr, kBatch},
    {"dest", required_argument, nullptr, kDest},
    {"prefix", required_argument, nullptr, kPrefix},
    {"types", required_argument, nullptr, kTypes},
    {"min-size", required_argument, nullptr, kMinSize},
    {"auto-inc", no_argument, nullptr, kAutoInc},
    {"no-auto-inc", no_argument, nullptr, kNoAutoInc},
    {"no-webaddr", no_argument, nullptr, kNoWebAddr},
    {"lang", required_argument, nullptr, kLang},
    {"yes", no_argument, nullptr, kYes},
    {"no", no_argument, nullptr, kNo},
    {"modern", no_argument, nullptr, kModern},
    {"no-modern", no_argument, nullptr, kNoModern},
    {"min-picture", required_argument, nullptr, kMinPicture},
    {"keep-duplicates", no_argument, nullptr, kKeepDuplicates},
    {"skip-known", no_argument, nullptr, kSkipKnown},
    {"parallel", required_argument, nullptr, kParallel},
    {"streams", required_argument, nullptr, kStreams},
    {"compressed-pages", no_argument, nullptr, kCompressedPages},
    {"no-compressed-pages", no_argument, nullptr, kNoCompressedPages},
    {"render", no_argument, nullptr, kRender},
    {"no-render", no_argument, nullptr, kNoRender},
    {"ca-certificate", required_argument, nullptr, kCaCertificate},
    {"save-settings", no_argument, nullptr, kSaveSettings},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

// '-': addresses come back in place (code 1), so they keep their order among the options
// whatever POSIXLY_CORRECT says; ':': a missing value is told apart from an unknown option.
constexpr char kShortOptions[] = "-:hq";

bool ParseKilobytes(const std::string& text, int& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && value >= 0 && value <= INT_MAX / 1024;
}

// "WxH" (or "WXH"): two whole numbers of pixels.
bool ParsePictureSize(const std::string& text, int& width, int& height) {
  const size_t x = text.find_first_of("xX");
  if (x == std::string::npos || x == 0 || x + 1 == text.size()) return false;
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const auto w = std::from_chars(begin, begin + x, width);
  const auto h = std::from_chars(begin + x + 1, end, height);
  return w.ec == std::errc() && w.ptr == begin + x && h.ec == std::errc() && h.ptr == end &&
         width >= 0 && height >= 0;
}

bool ParseTransfers(const std::string& text, int& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && value >= kMinParallelTransfers &&
         value <= kMaxParallelTransfers;
}

bool ParseStreams(const std::string& text, int& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && value >= 0 && value <= kMaxHttp2Streams;
}

// The spelling an option id is shown with in messages.
std::string OptionName(int id) {
  for (const option& o : kLongOptions) {
    if (o.name != nullptr && o.val == id) return std::string("--") + o.name;
  }
  return std::string("-") + static_cast<char>(id);
}

// The option as typed, without any "=value".
std::string TypedName(const char* arg) {
  const std::string text = arg;
  return text.substr(0, text.find('='));
}

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& args) {
    // getopt wants writable, NUL-terminated strings and a program name in front.
    storage_.reserve(args.size() + 1);
    storage_.emplace_back("harvelo-cli");
    for (const std::string& a : args) storage_.push_back(a);
    for (std::string& s : storage_) argv_.push_back(s.data());
    argv_.push_back(nullptr);
  }

  ParseResult Run() {
    const int argc = static_cast<int>(storage_.size());
    opterr = 0;  // the messages are ours
    optind = 0;  // 0 (not 1) makes glibc start afresh on a new vector
    while (result_.error.empty()) {
      int longIndex = -1;
      const int previous = optind == 0 ? 1 : optind;
      const int code = getopt_long(argc, argv_.data(), kShortOptions, kLongOptions, &longIndex);
      if (code == -1) break;
      if (code == 1) {
        Address(optarg);
      } else if (code == '?') {
        Unknown(previous);
      } else if (code == ':') {
        result_.error = OptionName(optopt) + " needs a value";
      } else if (longIndex >= 0 &&
                 TypedName(argv_[previous]) != std::string("--") + kLongOptions[longIndex].name) {
        // getopt_long takes unique abbreviations; only the full spellings are documented,
        // and an option added later would turn a script's abbreviation ambiguous.
        result_.error = "unknown option " + TypedName(argv_[previous]);
      } else {
        Option(code, optarg != nullptr ? optarg : "");
      }
    }
    // After "--" every argument is an address.
    for (int i = optind; result_.error.empty() && i < argc; ++i) Address(argv_[i]);
    CommandLine& line = result_.line;
    if (result_.error.empty() && !line.help && !line.version && line.addresses.empty() &&
        !line.batchFile) {
      result_.error = "no address and no --batch file given";
    }
    return std::move(result_);
  }

 private:
  void Address(const std::string& arg) {
    const std::string address = AddressRule(arg);
    if (!arg.empty() && IsWebAddress(address)) {
      result_.line.addresses.push_back(address);
    } else if (arg.empty()) {
      result_.error = "empty address";
    } else {
      result_.error = "only http:// and https:// addresses can be fetched: " + arg;
    }
  }

  // getopt answers '?' for an unknown option and for a value given to one that takes
  // none; optopt tells them apart (0 for an unknown long option).
  void Unknown(int argIndex) {
    const std::string typed = argIndex < static_cast<int>(storage_.size()) ? argv_[argIndex] : "";
    if (optopt != 0 && typed.starts_with("--")) {
      result_.error = OptionName(optopt) + " takes no value";
    } else if (optopt != 0) {
      result_.error = std::string("unknown option -") + static_cast<char>(optopt);
    } else {
      result_.error = "unknown option " + typed;
    }
  }

  void Option(int code, const std::string& value) {
    CommandLine& line = result_.line;
    switch (code) {
      case kHelp:
        line.help = true;
        break;
      case kQuiet:
        line.quiet = true;
        break;
      case kVersion:
        line.version = true;
        break;
      case kSaveSettings:
        line.saveSettings = true;
        break;
      case kBatch:
        if (value.empty()) {
          result_.error = "--batch needs a file name";
        } else {
          line.batchFile = value;
        }
        break;
      case kDest:
        line.destinationDir = value;
        break;
      case kPrefix:
        line.prefix = value;
        break;
      case kTypes:
        line.targetTypes = TargetTypesSetting(value);
        if (line.targetTypes->empty()) result_.error = "--types names no file type";
        break;
      case kMinSize:
        if (int kb = 0; ParseKilobytes(value, kb)) {
          line.minimumSizeKb = kb;
        } else {
          result_.error = "--min-size needs a whole number of kilobytes: " + value;
        }
        break;
      case kAutoInc:
      case kNoAutoInc:
        line.autoIncrement = code == kAutoInc ? 1 : 0;
        break;
      case kNoWebAddr:
        line.noWebAddressLog = true;
        break;
      case kLang:
        if (value == "en") {
          line.language = kLanguageEnglish;
        } else if (value == "es") {
          line.language = kLanguageSpanish;
        } else {
          result_.error = "--lang is en or es: " + value;
        }
        break;
      case kModern:
      case kNoModern:
        line.modernPages = code == kModern ? 1 : 0;
        break;
      case kMinPicture:
        if (int w = 0, h = 0; ParsePictureSize(value, w, h)) {
          line.minimumPictureWidth = w;
          line.minimumPictureHeight = h;
        } else {
          result_.error = "--min-picture needs a size in pixels such as 200x150: " + value;
        }
        break;
      case kKeepDuplicates:
        line.keepDuplicates = true;
        break;
      case kSkipKnown:
        line.skipKnownFiles = true;
        break;
      case kParallel:
        if (int n = 0; ParseTransfers(value, n)) {
          line.parallelTransfers = n;
        } else {
          result_.error = "--parallel needs a whole number from 1 to 16: " + value;
        }
        break;
      case kStreams:
        if (int n = 0; ParseStreams(value, n)) {
          line.http2Streams = n;
        } else {
          result_.error = "--streams needs a whole number from 0 to 128: " + value;
        }
        break;
      case kCompressedPages:
        line.compressedPages = 1;
        break;
      case kNoCompressedPages:
        line.compressedPages = 0;
        break;
      case kRender:
        line.renderedPages = 2;
        break;
      case kNoRender:
        line.renderedPages = 0;
        break;
      case kCaCertificate:
        if (value.empty()) {
          result_.error = "--ca-certificate needs a file name";
        } else {
          line.caCertificateFile = value;
        }
        break;
      case kYes:
      case kNo:
        line.continueAnswer = code == kYes ? ContinueAnswer::kYes : ContinueAnswer::kNo;
        break;
      default:
        result_.error = "unknown option " + OptionName(code);
        break;
    }
  }

  std::vector<std::string> storage_;
  std::vector<char*> argv_;
  ParseResult result_;
};

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
  return Parser(args).Run();
}

}  // namespace harvelo::cli
