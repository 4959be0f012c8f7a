#include "cli/command_line.h"

#include <charconv>
#include <climits>

#include "cli/field_rules.h"
#include "settings/interface_language.h"

namespace harvelo::cli {
namespace {

bool ParseKilobytes(const std::string& text, int& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && value >= 0 && value <= INT_MAX / 1024;
}

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& args) : args_(args) {}

  ParseResult Run() {
    bool optionsEnded = false;
    for (i_ = 0; i_ < args_.size() && result_.error.empty(); ++i_) {
      const std::string& arg = args_[i_];
      if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
        Address(arg);
      } else if (arg == "--") {
        optionsEnded = true;
      } else {
        Option(arg);
      }
    }
    CommandLine& line = result_.line;
    if (result_.error.empty() && !line.help && line.addresses.empty() && !line.batchFile) {
      result_.error = "no address and no --batch file given";
    }
    return std::move(result_);
  }

 private:
  void Address(const std::string& arg) {
    if (auto address = NormaliseAddress(arg)) {
      result_.line.addresses.push_back(*address);
    } else if (arg.empty()) {
      result_.error = "empty address";
    } else {
      result_.error = "only http:// and https:// addresses can be fetched: " + arg;
    }
  }

  void Option(const std::string& arg) {
    std::string name = arg;
    std::optional<std::string> inlineValue;
    if (const size_t eq = arg.find('='); eq != std::string::npos && arg.starts_with("--")) {
      name = arg.substr(0, eq);
      inlineValue = arg.substr(eq + 1);
    }
    CommandLine& line = result_.line;
    std::string value;
    if (name == "--help" || name == "-h") {
      if (NoValue(name, inlineValue)) line.help = true;
    } else if (name == "--batch") {
      if (!Value(name, inlineValue, value)) return;
      if (value.empty()) {
        result_.error = "--batch needs a file name";
      } else {
        line.batchFile = value;
      }
    } else if (name == "--dest") {
      if (Value(name, inlineValue, value)) line.destinationDir = value;
    } else if (name == "--prefix") {
      if (Value(name, inlineValue, value)) line.prefix = value;
    } else if (name == "--types") {
      if (Value(name, inlineValue, value)) {
        line.targetTypes = NormaliseTargetTypes(value);
        if (line.targetTypes->empty()) result_.error = "--types names no file type";
      }
    } else if (name == "--min-size") {
      int kb = 0;
      if (!Value(name, inlineValue, value)) return;
      if (ParseKilobytes(value, kb)) {
        line.minimumSizeKb = kb;
      } else {
        result_.error = "--min-size needs a whole number of kilobytes: " + value;
      }
    } else if (name == "--auto-inc" || name == "--no-auto-inc") {
      if (NoValue(name, inlineValue)) line.autoIncrement = name == "--auto-inc" ? 1 : 0;
    } else if (name == "--no-webaddr") {
      if (NoValue(name, inlineValue)) line.noWebAddressLog = true;
    } else if (name == "--lang") {
      if (!Value(name, inlineValue, value)) return;
      if (value == "en") {
        line.language = kLanguageEnglish;
      } else if (value == "es") {
        line.language = kLanguageSpanish;
      } else {
        result_.error = "--lang is en or es: " + value;
      }
    } else if (name == "--yes" || name == "--no") {
      if (NoValue(name, inlineValue)) {
        line.continueAnswer = name == "--yes" ? ContinueAnswer::kYes : ContinueAnswer::kNo;
      }
    } else if (name == "--quiet" || name == "-q") {
      if (NoValue(name, inlineValue)) line.quiet = true;
    } else {
      result_.error = "unknown option " + arg;
    }
  }

  // The option's value: after '=' or the next argument.
  bool Value(const std::string& name, const std::optional<std::string>& inlineValue,
             std::string& value) {
    if (inlineValue) {
      value = *inlineValue;
      return true;
    }
    if (i_ + 1 >= args_.size()) {
      result_.error = name + " needs a value";
      return false;
    }
    value = args_[++i_];
    return true;
  }

  bool NoValue(const std::string& name, const std::optional<std::string>& inlineValue) {
    if (!inlineValue) return true;
    result_.error = name + " takes no value";
    return false;
  }

  const std::vector<std::string>& args_;
  size_t i_ = 0;
  ParseResult result_;
};

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
  return Parser(args).Run();
}

}  // namespace harvelo::cli
