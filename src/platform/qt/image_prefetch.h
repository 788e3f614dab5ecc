// Decoding image files ahead of their first use on a thread of its own, so
// that start-up does not wait for the JPEG decoder on the user-interface
// thread: the window mask and the first page's layers are decoded while
// start-up reads the configuration and the skin, in the order start-up
// needs them.
//
// API: ImagePrefetch(requests, alongside) starts the thread at once; it
// decodes each request in turn, while a second thread runs `alongside`
// (other warm-up work, such as filling the font database; may be empty). Take(path, format) hands over the image
// decoded for that path and format, waiting for it if it is still being decoded, once; it gives nothing when no such
// request was made, when it was already taken, or when the file changed after it was decoded. The destructor waits for
// both threads.
#pragma once

#include <QImage>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tolvar {

class ImagePrefetch {
 public:
  struct Request {
    std::string path;
    QImage::Format format;
  };

  ImagePrefetch(std::vector<Request> requests, std::function<void()> alongside);
  ~ImagePrefetch();
  ImagePrefetch(const ImagePrefetch&) = delete;
  ImagePrefetch& operator=(const ImagePrefetch&) = delete;

  std::optional<QImage> Take(const std::string& path, QImage::Format format);

 private:
  struct Slot {
    Request request;
    std::string fileVersion;  // the file as it was when decoded
    QImage image;
    bool done = false;
    bool taken = false;
  };

  void Run();

  std::mutex mutex_;
  std::condition_variable decoded_;
  std::vector<Slot> slots_;
  std::thread thread_;
  std::thread alongside_;
};

}  // namespace tolvar
