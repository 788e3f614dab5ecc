#include "platform/linux/hidraw_backend.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <utility>

namespace tolvar {

namespace {

namespace fs = std::filesystem;

// Larger than any report descriptor the kernel accepts (4096 bytes).
constexpr std::size_t kMaxDescriptorFileBytes = 64 * 1024;
// Larger than any uevent file.
constexpr std::size_t kMaxUeventFileBytes = 64 * 1024;

std::optional<std::string> ReadFileBounded(const fs::path& path, std::size_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string content(limit, '\0');
  in.read(content.data(), static_cast<std::streamsize>(limit));
  if (in.bad()) return std::nullopt;
  content.resize(static_cast<std::size_t>(in.gcount()));
  return content;
}

// The number N of an entry named hidraw<N>.
std::optional<unsigned> HidrawNumber(std::string_view name) {
  constexpr std::string_view kPrefix = "hidraw";
  if (!name.starts_with(kPrefix) || name.size() == kPrefix.size()) return std::nullopt;
  const std::string_view digits = name.substr(kPrefix.size());
  unsigned number = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (ec != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
  return number;
}

bool ParseHex(std::string_view text, std::uint32_t& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  return ec == std::errc{} && end == text.data() + text.size() && !text.empty();
}

// Vendor and product id from the line HID_ID=<bus>:<vendor>:<product> (hex).
bool ParseHidId(std::string_view uevent, std::uint16_t& vendorId, std::uint16_t& productId) {
  constexpr std::string_view kKey = "HID_ID=";
  while (!uevent.empty()) {
    const std::size_t lineEnd = std::min(uevent.find('\n'), uevent.size());
    std::string_view line = uevent.substr(0, lineEnd);
    uevent.remove_prefix(std::min(lineEnd + 1, uevent.size()));
    if (!line.starts_with(kKey)) continue;
    line.remove_prefix(kKey.size());
    const std::size_t first = line.find(':');
    const std::size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
    if (second == std::string_view::npos) return false;
    std::uint32_t bus = 0, vendor = 0, product = 0;
    if (!ParseHex(line.substr(0, first), bus) || !ParseHex(line.substr(first + 1, second - first - 1), vendor) ||
        !ParseHex(line.substr(second + 1), product) || vendor > 0xFFFF || product > 0xFFFF) {
      return false;
    }
    vendorId = static_cast<std::uint16_t>(vendor);
    productId = static_cast<std::uint16_t>(product);
    return true;
  }
  return false;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { ::close(fd_); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

class HidrawInputChannel : public HidInputChannel {
 public:
  explicit HidrawInputChannel(int fd) : fd_(fd) {}

  int Read(std::span<std::uint8_t> buffer) override {
    for (;;) {
      const ssize_t n = ::read(fd_.get(), buffer.data(), buffer.size());
      if (n >= 0) return static_cast<int>(n);
      if (errno != EINTR) return -1;
    }
  }

 private:
  FileDescriptor fd_;
};

class HidrawFeatureChannel : public HidFeatureChannel {
 public:
  explicit HidrawFeatureChannel(int fd) : fd_(fd) {}

  bool SendFeature(std::span<const std::uint8_t> report) override {
    // The ioctl's length field holds at most _IOC_SIZEMASK bytes.
    if (report.empty() || report.size() > _IOC_SIZEMASK) return false;
    for (;;) {
      const int n = ::ioctl(fd_.get(), HIDIOCSFEATURE(report.size()), const_cast<std::uint8_t*>(report.data()));
      if (n >= 0) return true;
      if (errno != EINTR) return false;
    }
  }

 private:
  FileDescriptor fd_;
};

}  // namespace

HidrawBackend::HidrawBackend(std::string sysClassDir, std::string devDir, OpenFile openFile)
    : sysClassDir_(std::move(sysClassDir)), devDir_(std::move(devDir)), openFile_(std::move(openFile)) {
  if (!openFile_) {
    openFile_ = [](const std::string& path, int flags) { return ::open(path.c_str(), flags); };
  }
}

std::vector<HidDeviceInfo> HidrawBackend::Enumerate(std::size_t limit) {
  std::vector<std::pair<unsigned, std::string>> entries;
  std::error_code ec;
  for (fs::directory_iterator it(sysClassDir_, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (const auto number = HidrawNumber(name)) entries.emplace_back(*number, std::move(name));
  }
  std::sort(entries.begin(), entries.end());
  if (entries.size() > limit) entries.resize(limit);

  std::vector<HidDeviceInfo> devices;
  for (const auto& [number, name] : entries) {
    const fs::path device = fs::path(sysClassDir_) / name / "device";
    HidDeviceInfo info;
    const auto uevent = ReadFileBounded(device / "uevent", kMaxUeventFileBytes);
    if (!uevent || !ParseHidId(*uevent, info.vendorId, info.productId)) continue;
    if (const auto descriptor = ReadFileBounded(device / "report_descriptor", kMaxDescriptorFileBytes)) {
      info.reportDescriptor.assign(descriptor->begin(), descriptor->end());
    }
    info.path = devDir_ + "/" + name;
    devices.push_back(std::move(info));
  }
  return devices;
}

int HidrawBackend::Open(const std::string& path, int flags, HidOpenError& error) const {
  const int fd = openFile_(path, flags | O_CLOEXEC);
  if (fd >= 0) {
    error = HidOpenError::None;
  } else {
    error = (errno == EACCES || errno == EPERM) ? HidOpenError::PermissionDenied : HidOpenError::Failed;
  }
  return fd;
}

std::unique_ptr<HidInputChannel> HidrawBackend::OpenInput(const std::string& path, HidOpenError& error) {
  const int fd = Open(path, O_RDONLY, error);
  if (fd < 0) return nullptr;
  return std::make_unique<HidrawInputChannel>(fd);
}

std::unique_ptr<HidFeatureChannel> HidrawBackend::OpenFeature(const std::string& path, HidOpenError& error) {
  const int fd = Open(path, O_WRONLY, error);
  if (fd < 0) return nullptr;
  return std::make_unique<HidrawFeatureChannel>(fd);
}

}  // namespace tolvar
