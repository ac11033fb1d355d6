#include "app/ui/activity_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <system_error>

#include "app/engine/text_format.h"

namespace orvantix {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr char kHex[] = "0123456789ABCDEF";
// A log made from the template is the user's file, whatever the shipped
// template's mode is.
constexpr mode_t kNewLogMode = 0644;

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Closes now; false when the close reports a failed write.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// A temporary file beside its target; removed unless it replaced the target.
class ReplacementFile {
 public:
  explicit ReplacementFile(const std::filesystem::path& target)
      : target_(target),
        path_((target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string()),
        fd_(::mkstemp(path_.data())),
        created_(fd_.Valid()) {}
  ~ReplacementFile() {
    if (created_ && !committed_) ::unlink(path_.c_str());
  }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  bool Write(std::string_view bytes, mode_t mode) {
    if (!fd_.Valid()) return false;
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_.Get(), bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return ::fchmod(fd_.Get(), mode) == 0;
  }

  // Closes the file and puts it in the target's place in one step.
  bool Commit() {
    if (!fd_.Close()) return false;
    committed_ = ::rename(path_.c_str(), target_.c_str()) == 0;
    return committed_;
  }

 private:
  std::filesystem::path target_;
  std::string path_;
  UniqueFd fd_;
  bool created_;
  bool committed_ = false;
};

bool ReadFile(const std::filesystem::path& path, std::string& bytes) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return false;
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  bytes.clear();
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

mode_t FileMode(const std::filesystem::path& path, mode_t fallback) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : fallback;
}

bool Exists(const std::filesystem::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// A write-protected log stays as it is, as it would if it were rewritten in
// place.
bool WriteProtected(const std::filesystem::path& path) {
  return Exists(path) && ::access(path.c_str(), W_OK) != 0;
}

// Replaces target by bytes so that a failure at any point leaves the old
// file whole.
bool Replace(const std::filesystem::path& target, std::string_view bytes, mode_t mode) {
  ReplacementFile file(target);
  return file.Write(bytes, mode) && file.Commit();
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// "file://" and the absolute path, every byte but unreserved ones and "/"
// percent-encoded, so blanks, "#", "%" and non-ASCII names survive.
std::string FileUrl(const std::string& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (ec) absolute = path;
  std::string url = "file://";
  for (const char c : absolute.string()) {
    const auto byte = static_cast<unsigned char>(c);
    const bool keep = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                      (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                      byte == '~' || byte == '/';
    if (keep) {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 0x0f];
    }
  }
  return url;
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

std::string BuildRow(const std::string& first, const std::string& second,
                     const std::string& filePath, const std::string& camera, float threshold) {
  if (IsBlank(filePath)) {
    return "<TR><TD ALIGN=LEFT>" + EscapeHtml(first) + "</TD><TD ALIGN=LEFT COLSPAN=3>" +
           EscapeHtml(second) + "</TD><TD ALIGN=LEFT>&nbsp;</TD></TR>";
  }
  return "<TR><TD ALIGN=LEFT>" + EscapeHtml(first) + "</TD><TD ALIGN=LEFT>" + EscapeHtml(second) +
         "</TD><TD ALIGN=LEFT>" + EscapeHtml(camera) + "</TD><TD ALIGN=RIGHT>" +
         EscapeHtml(NumberText(threshold)) + "%</TD><TD ALIGN=LEFT><A HREF=\"" +
         EscapeHtml(FileUrl(filePath)) + "\">Play</A></TD></TR>";
}

// Lines end at CR or CR LF; a lone LF is part of its line. Every line is
// written back with CR LF, the row before each marker line.
std::string InsertRow(std::string_view log, const std::string& row) {
  std::string out;
  out.reserve(log.size() + 2 * (row.size() + kLineEnd.size()) + 64);
  std::size_t start = 0;
  while (start < log.size()) {
    std::size_t end = log.find('\r', start);
    std::size_t next;
    if (end == std::string_view::npos) {
      end = log.size();
      next = end;
    } else {
      next = end + 1;
      if (next < log.size() && log[next] == '\n') ++next;
    }
    const std::string_view line = log.substr(start, end - start);
    if (line == ActivityLog::kMarker) {
      out += row;
      out += kLineEnd;
    }
    out += line;
    out += kLineEnd;
    start = next;
  }
  return out;
}

}  // namespace

void ActivityLog::CreateFromTemplateIfMissing() {
  const std::filesystem::path log = LogPath();
  if (Exists(log)) return;
  std::string bytes;
  if (!ReadFile(TemplatePath(), bytes)) return;
  Replace(log, bytes, kNewLogMode);
}

void ActivityLog::AddLogEntry(const std::string& first, const std::string& second,
                              const std::string& filePath, const std::string& camera,
                              float threshold) {
  const std::filesystem::path log = LogPath();
  std::string bytes;
  if (!ReadFile(log, bytes)) return;
  if (WriteProtected(log)) return;
  const std::string out = InsertRow(bytes, BuildRow(first, second, filePath, camera, threshold));
  Replace(log, out, FileMode(log, kNewLogMode));
}

void ActivityLog::Clear() {
  const std::filesystem::path log = LogPath();
  if (WriteProtected(log)) return;
  std::string bytes;
  if (ReadFile(TemplatePath(), bytes)) {
    Replace(log, bytes, FileMode(log, kNewLogMode));
  } else {
    std::error_code ignored;
    std::filesystem::remove(log, ignored);
  }
}

}  // namespace orvantix
