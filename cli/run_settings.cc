#include "cli/run_settings.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace harvelo::cli {

Settings RunSettings(const Settings& loaded, const CommandLine& line) {
  Settings settings = loaded;
  if (line.targetTypes) settings.targetTypes = *line.targetTypes;
  if (line.minimumSizeKb) settings.minimumSizeKb = *line.minimumSizeKb;
  if (line.noWebAddressLog) settings.generateWebAddressLog = 0;
  if (line.autoIncrement) settings.autoIncrement = *line.autoIncrement;
  if (line.modernPages) settings.modernPages = *line.modernPages;
  if (line.minimumPictureWidth) settings.minimumPictureWidth = *line.minimumPictureWidth;
  if (line.minimumPictureHeight) settings.minimumPictureHeight = *line.minimumPictureHeight;
  if (line.keepDuplicates) settings.skipDuplicates = 0;
  if (line.skipKnownFiles) {
    settings.skipDuplicates = 1;
    settings.skipKnownFiles = 1;
  }
  if (line.parallelTransfers) settings.parallelTransfers = *line.parallelTransfers;
  return settings;
}

Settings SettingsToSave(const Settings& loaded, const Settings& afterRun, const CommandLine& line) {
  Settings saved = loaded;
  saved.recentAddresses = afterRun.recentAddresses;
  if (!line.destinationDir) saved.destinationDir = afterRun.destinationDir;
  if (!line.autoIncrement) saved.autoIncrement = afterRun.autoIncrement;
  return saved;
}

FileSnapshot::FileSnapshot(std::string path) : path_(std::move(path)) {
  std::ifstream in(path_, std::ios::binary);
  existed_ = in.is_open();
  if (existed_) bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void FileSnapshot::Restore() const {
  if (!existed_) {
    std::remove(path_.c_str());
    return;
  }
  // Written beside it and renamed, so the file is never left half written.
  const std::string temp = path_ + ".restore";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
    if (!out.flush()) {
      out.close();
      std::remove(temp.c_str());
      return;
    }
  }
  std::rename(temp.c_str(), path_.c_str());
}

}  // namespace harvelo::cli
