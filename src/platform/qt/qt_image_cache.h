// JPEG images of the skin for Qt: layers decoded once and kept while their
// file stays the same (or until the cache is cleared, while no window shows
// them), and the pixels of an image file for the pixel scans.
#pragma once

#include <QImage>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/qt/image_prefetch.h"
#include "ports/canvas.h"
#include "ports/image_source.h"

namespace tolvar {

// A decoded layer: 32-bit RGB, the format the canvas copies from fastest.
class QtLayerImage : public LayerImage {
 public:
  explicit QtLayerImage(QImage image) : image_(std::move(image)) {}
  const QImage& Image() const { return image_; }

 private:
  QImage image_;
};

class QtImageCache : public LayerImages {
 public:
  // Takes an image decoded ahead of time from `prefetch` (may be null) when it has one.
  explicit QtImageCache(ImagePrefetch* prefetch = nullptr) : prefetch_(prefetch) {}
  // What to ask of the prefetch for a layer this cache will load.
  static ImagePrefetch::Request PrefetchRequest(const std::string& path) { return {path, QImage::Format_RGB32}; }

  // One stat per call; the file is decoded again only when its version changed.
  std::shared_ptr<const LayerImage> Load(const std::string& path) override;
  std::shared_ptr<const QtLayerImage> LoadImage(const std::string& path);
  // Starts decoding these layers on a thread of their own, and `alongside`
  // (may be empty) on another, for a window about to be shown; Load takes
  // them from there. Replaces what an earlier call decoded and nothing took.
  void DecodeAhead(const std::vector<std::string>& paths, std::function<void()> alongside);
  // Drops every decoded layer, and those decoded ahead; the next Load
  // decodes its file again.
  void Clear();

  // What tells one version of a file from another: a file replaced,
  // rewritten or touched differs from the one decoded before. The status
  // change time moves with every write and cannot be set back.
  struct FileVersion {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    std::int64_t size = 0;
    friend bool operator==(const FileVersion&, const FileVersion&) = default;
  };

 private:
  struct Entry {
    FileVersion version;
    std::shared_ptr<const QtLayerImage> image;
  };
  ImagePrefetch* prefetch_;
  std::unique_ptr<ImagePrefetch> ahead_;
  std::unordered_map<std::string, Entry> entries_;
};

// Decodes an image file into its RGB pixels (no caching: the masks are
// scanned once per window).
class QtImageFileReader : public ImageFileReader {
 public:
  explicit QtImageFileReader(ImagePrefetch* prefetch = nullptr) : prefetch_(prefetch) {}
  static ImagePrefetch::Request PrefetchRequest(const std::string& path) { return {path, QImage::Format_RGB888}; }
  std::unique_ptr<ImageSource> ReadPixels(const std::string& path) override;

 private:
  ImagePrefetch* prefetch_;
};

}  // namespace tolvar
