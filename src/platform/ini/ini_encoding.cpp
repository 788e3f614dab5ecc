#include "platform/ini/ini_encoding.h"

#include "base/text.h"

namespace tolvar {

namespace {

constexpr std::string_view kUtf8Mark("\xEF\xBB\xBF", 3);
constexpr std::string_view kUtf16LeMark("\xFF\xFE", 2);
constexpr std::string_view kUtf16BeMark("\xFE\xFF", 2);

bool IsBigEndian(IniEncoding encoding) { return encoding == IniEncoding::kUtf16Be; }

}  // namespace

IniEncoding DetectIniEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) return IniEncoding::kUtf8Bom;
  if (bytes.starts_with(kUtf16LeMark)) return IniEncoding::kUtf16Le;
  if (bytes.starts_with(kUtf16BeMark)) return IniEncoding::kUtf16Be;
  return IniEncoding::kUtf8;
}

std::string_view ByteOrderMark(IniEncoding encoding) {
  switch (encoding) {
    case IniEncoding::kUtf8Bom:
      return kUtf8Mark;
    case IniEncoding::kUtf16Le:
      return kUtf16LeMark;
    case IniEncoding::kUtf16Be:
      return kUtf16BeMark;
    case IniEncoding::kUtf8:
      break;
  }
  return {};
}

std::size_t CodeUnitSize(IniEncoding encoding) {
  return encoding == IniEncoding::kUtf16Le || encoding == IniEncoding::kUtf16Be ? 2 : 1;
}

std::u16string DecodeIniText(IniEncoding encoding, std::string_view bytes) {
  if (CodeUnitSize(encoding) == 1) return Utf8ToUtf16(bytes);
  const bool bigEndian = IsBigEndian(encoding);
  std::u16string text;
  text.reserve(bytes.size() / 2 + 1);
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    text += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  if (i < bytes.size()) text += u'\uFFFD';
  return text;
}

std::string EncodeIniText(IniEncoding encoding, std::u16string_view text) {
  if (CodeUnitSize(encoding) == 1) return Utf16ToUtf8(text);
  const bool bigEndian = IsBigEndian(encoding);
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

}  // namespace tolvar
