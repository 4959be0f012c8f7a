#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "platform/directory_listing.h"

namespace harvelo {
namespace {

struct DirCloser {
  void operator()(DIR* d) const { ::closedir(d); }
};

}  // namespace

bool ListRegularFiles(const std::string& dir, std::vector<ListedFile>& files) {
  files.clear();
  const std::unique_ptr<DIR, DirCloser> d(::opendir(dir.empty() ? "." : dir.c_str()));
  if (!d) return false;
  while (const dirent* entry = ::readdir(d.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat st {};
    if (::stat((dir + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    files.push_back({name, static_cast<std::uint64_t>(st.st_size)});
  }
  return true;
}

}  // namespace harvelo
