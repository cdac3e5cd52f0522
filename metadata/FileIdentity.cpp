#include "metadata/FileIdentity.h"

#include <sys/stat.h>

namespace lumetra {

FileIdentity IdentityFromStat(const struct stat& info) {
  FileIdentity identity;
  identity.found = true;
  identity.device = static_cast<uint64_t>(info.st_dev);
  identity.inode = static_cast<uint64_t>(info.st_ino);
  identity.size = static_cast<int64_t>(info.st_size);
  identity.modified_s = static_cast<int64_t>(info.st_mtim.tv_sec);
  identity.modified_ns = static_cast<int64_t>(info.st_mtim.tv_nsec);
  identity.changed_s = static_cast<int64_t>(info.st_ctim.tv_sec);
  identity.changed_ns = static_cast<int64_t>(info.st_ctim.tv_nsec);
  return identity;
}

FileIdentity IdentityOfPath(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return IdentityFromStat(info);
}

}  // namespace lumetra
