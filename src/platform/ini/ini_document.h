// An INI file held as its lines, byte for byte as they are on disk, with an
// index of its sections and keys for lookups that ignore ASCII case.
//
// Reading rules: a line whose first non-blank character is '[' opens a
// section named by the text up to the first ']' (or the end of the line);
// a line starting with ';' is a comment; any other line holding '=' is a key
// line, key before the first '=' and value after it, blanks (spaces, tabs)
// around both removed and one pair of matching enclosing quotation marks
// (" or ') dropped from the value. The first section of a name and the first
// key of a name within it win. Lines before the first section belong to none.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/ini/ini_encoding.h"

namespace tolvar {

class IniDocument {
 public:
  // What a file that does not exist yet holds: no lines, UTF-8, LF endings.
  IniDocument();
  // The file's whole content, byte order mark included.
  explicit IniDocument(std::string_view bytes);

  IniEncoding encoding() const { return encoding_; }

  // The value of `key` in the first section named `section`, or null.
  const std::u16string* Find(std::u16string_view section, std::u16string_view key) const;

  // Whether the line key=value (and the header [section]) would read back as
  // exactly this section and key: names not empty, no line breaks, no blanks
  // around them, no '=' in the key, no ']' in the section, the key not
  // starting with ';' or '['.
  static bool CanHold(std::u16string_view section, std::u16string_view key, std::u16string_view value);

  // Writes key=value: replaces the first key line of that name in the first
  // section of that name, or adds the line after the section's last key line,
  // or adds the section at the end of the file. Every other line keeps its
  // bytes. Returns whether the content changed. Requires CanHold.
  bool Set(std::u16string_view section, std::u16string_view key, std::u16string_view value);

  // The whole content as it goes to disk.
  std::string Bytes() const;

 private:
  struct Line {
    std::string text;  // the line's bytes without its line end
    std::string end;   // its line end as in the file; empty only on a last line
  };
  struct FoldedHash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view name) const noexcept;
  };
  struct FoldedEqual {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const noexcept;
  };
  template <typename Value>
  using FoldedMap = std::unordered_map<std::u16string, Value, FoldedHash, FoldedEqual>;

  struct KeyEntry {
    std::size_t line;  // index into the section's body
    std::u16string value;
  };
  struct Section {
    Line header;
    std::vector<Line> body;
    std::size_t keyLinesEnd = 0;  // one past the body's last key line
    FoldedMap<KeyEntry> keys;     // the first key line of each name
  };

  void AddLine(std::string text, std::string end);
  std::string EncodedLine(std::u16string_view text) const;
  // Gives a line that ends the file a line end before another line follows it.
  void EndLine(Line& line) const;
  Line* LastLine();

  IniEncoding encoding_ = IniEncoding::kUtf8;
  std::string lineEnd_;         // for new lines: the file's first line end, else LF
  std::vector<Line> preamble_;  // lines before the first section
  std::vector<Section> sections_;
  FoldedMap<std::size_t> sectionIndex_;  // the first section of each name
};

}  // namespace tolvar
