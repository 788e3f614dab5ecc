// The text encodings an INI file may have on disk, recognised by its byte
// order mark, and the conversion of its lines between bytes and UTF-16.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvar {

enum class IniEncoding {
  kUtf8,     // no byte order mark; also every file without a known mark
  kUtf8Bom,  // EF BB BF
  kUtf16Le,  // FF FE
  kUtf16Be,  // FE FF
};

// The encoding that the file's first bytes announce.
IniEncoding DetectIniEncoding(std::string_view bytes);

// The byte order mark that starts a file of this encoding (empty for kUtf8).
std::string_view ByteOrderMark(IniEncoding encoding);

// Bytes per code unit: 1 for UTF-8, 2 for UTF-16.
std::size_t CodeUnitSize(IniEncoding encoding);

// Text without its byte order mark, to and from UTF-16. Malformed UTF-8 and a
// lone trailing byte of UTF-16 become U+FFFD.
std::u16string DecodeIniText(IniEncoding encoding, std::string_view bytes);
std::string EncodeIniText(IniEncoding encoding, std::u16string_view text);

}  // namespace tolvar
