#include "platform/settings/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "platform/settings/unique_fd.h"

namespace platform::settings {

namespace {

std::error_code LastError() { return {errno, std::system_category()}; }

// Removes the temporary file unless it was renamed into place.
class TempFile {
 public:
  explicit TempFile(std::string path) : path_(std::move(path)) {}
  ~TempFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& Path() const { return path_; }
  void Commit() { path_.clear(); }

 private:
  std::string path_;
};

std::error_code CreateFolders(const std::filesystem::path& folder) {
  if (folder.empty()) return {};
  std::error_code ec;
  if (std::filesystem::is_directory(folder, ec)) return {};
  if (auto parentError = CreateFolders(folder.parent_path())) return parentError;
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return LastError();
  return {};
}

std::error_code WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return {};
}

std::filesystem::path ResolveLink(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(file, ec)) return file;
  auto target = std::filesystem::weakly_canonical(file, ec);
  return ec ? file : target;
}

}  // namespace

std::error_code WriteFileAtomically(const std::filesystem::path& path, std::string_view contents,
                                    mode_t mode) {
  const std::filesystem::path file = ResolveLink(path);
  const std::filesystem::path folder = file.parent_path();
  if (auto ec = CreateFolders(folder)) return ec;

  // Hidden, in the same folder so that the rename stays on one file system.
  std::string pattern = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
  UniqueFd fd(::mkostemp(pattern.data(), O_CLOEXEC));
  if (!fd.IsOpen()) return LastError();
  TempFile temp(pattern);

  if (::fchmod(fd.Get(), mode) != 0) return LastError();
  if (auto ec = WriteAll(fd.Get(), contents)) return ec;
  if (::fsync(fd.Get()) != 0) return LastError();
  if (auto ec = fd.Close()) return ec;
  if (::rename(temp.Path().c_str(), file.c_str()) != 0) return LastError();
  temp.Commit();

  // The rename itself reaches the disk only with the folder.
  UniqueFd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.IsOpen()) ::fsync(dir.Get());
  return {};
}

}  // namespace platform::settings
