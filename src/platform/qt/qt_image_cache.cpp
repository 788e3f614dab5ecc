#include "platform/qt/qt_image_cache.h"

#include <sys/stat.h>

#include <QString>
#include <ctime>
#include <initializer_list>
#include <optional>

namespace tolvar {

namespace {

std::int64_t Nanoseconds(const timespec& time) { return std::int64_t{time.tv_sec} * 1'000'000'000 + time.tv_nsec; }

std::optional<QtImageCache::FileVersion> VersionOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return QtImageCache::FileVersion{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                                   Nanoseconds(info.st_mtim), Nanoseconds(info.st_ctim),
                                   static_cast<std::int64_t>(info.st_size)};
}

QImage Decode(std::initializer_list<ImagePrefetch*> prefetches, const std::string& path, QImage::Format format) {
  for (ImagePrefetch* prefetch : prefetches) {
    if (prefetch == nullptr) continue;
    if (std::optional<QImage> ready = prefetch->Take(path, format)) return std::move(*ready);
  }
  QImage image(QString::fromStdString(path));
  if (image.isNull()) return {};
  return image.convertToFormat(format);
}

class QtImageSource : public ImageSource {
 public:
  explicit QtImageSource(QImage image) : image_(std::move(image)) {}
  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }
  std::span<const std::uint8_t> RgbRow(int y) const override {
    return {image_.constScanLine(y), static_cast<std::size_t>(image_.width()) * 3};
  }

 private:
  QImage image_;  // Format_RGB888
};

}  // namespace

std::shared_ptr<const LayerImage> QtImageCache::Load(const std::string& path) { return LoadImage(path); }

std::shared_ptr<const QtLayerImage> QtImageCache::LoadImage(const std::string& path) {
  const std::optional<FileVersion> version = VersionOf(path);
  if (!version) {
    entries_.erase(path);
    return nullptr;
  }
  const auto found = entries_.find(path);
  if (found != entries_.end() && found->second.version == *version) return found->second.image;

  QImage image = Decode({prefetch_, ahead_.get()}, path, QImage::Format_RGB32);
  if (image.isNull()) {
    entries_.erase(path);
    return nullptr;
  }
  auto layer = std::make_shared<const QtLayerImage>(std::move(image));
  entries_[path] = Entry{*version, layer};
  return layer;
}

void QtImageCache::DecodeAhead(const std::vector<std::string>& paths, std::function<void()> alongside) {
  std::vector<ImagePrefetch::Request> requests;
  for (const std::string& path : paths) requests.push_back(PrefetchRequest(path));
  ahead_.reset();  // waits for the one before, if it still decodes
  ahead_ = std::make_unique<ImagePrefetch>(std::move(requests), std::move(alongside));
}

void QtImageCache::Clear() {
  entries_.clear();
  ahead_.reset();
}

std::unique_ptr<ImageSource> QtImageFileReader::ReadPixels(const std::string& path) {
  QImage image = Decode({prefetch_}, path, QImage::Format_RGB888);
  if (image.isNull()) return nullptr;
  return std::make_unique<QtImageSource>(std::move(image));
}

}  // namespace tolvar
