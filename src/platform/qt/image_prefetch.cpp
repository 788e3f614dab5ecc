#include "platform/qt/image_prefetch.h"

#include <sys/stat.h>

#include <QString>

namespace tolvar {

namespace {

// What tells one version of a file from another (device, inode, times and
// size); empty when the file is not there.
std::string FileVersionOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":" + std::to_string(info.st_mtim.tv_sec) +
         "." + std::to_string(info.st_mtim.tv_nsec) + ":" + std::to_string(info.st_ctim.tv_sec) + "." +
         std::to_string(info.st_ctim.tv_nsec) + ":" + std::to_string(info.st_size);
}

}  // namespace

ImagePrefetch::ImagePrefetch(std::vector<Request> requests, std::function<void()> alongside) {
  for (Request& request : requests) slots_.push_back(Slot{std::move(request), {}, {}, false, false});
  thread_ = std::thread([this] { Run(); });
  if (alongside) alongside_ = std::thread(std::move(alongside));
}

ImagePrefetch::~ImagePrefetch() {
  thread_.join();
  if (alongside_.joinable()) alongside_.join();
}

void ImagePrefetch::Run() {
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const Request request = slots_[i].request;  // requests never change after construction
    std::string version = FileVersionOf(request.path);
    QImage image(QString::fromStdString(request.path));
    if (!image.isNull()) image = image.convertToFormat(request.format);
    {
      const std::lock_guard lock(mutex_);
      slots_[i].fileVersion = std::move(version);
      slots_[i].image = std::move(image);
      slots_[i].done = true;
    }
    decoded_.notify_all();
  }
}

std::optional<QImage> ImagePrefetch::Take(const std::string& path, QImage::Format format) {
  std::unique_lock lock(mutex_);
  for (Slot& slot : slots_) {
    if (slot.taken || slot.request.path != path || slot.request.format != format) continue;
    decoded_.wait(lock, [&] { return slot.done; });
    slot.taken = true;
    QImage image = std::move(slot.image);
    if (image.isNull() || slot.fileVersion.empty() || slot.fileVersion != FileVersionOf(path)) return std::nullopt;
    return image;
  }
  return std::nullopt;
}

}  // namespace tolvar
