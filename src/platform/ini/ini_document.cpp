#include "platform/ini/ini_document.h"

#include "base/text.h"

namespace tolvar {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view TrimBlanks(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::u16string_view DropEnclosingQuotes(std::u16string_view value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// What one line of the file means; the views point into the line's text.
struct LineMeaning {
  enum class Kind { kOther, kSection, kKey } kind = Kind::kOther;
  std::u16string_view name;
  std::u16string_view value;
};

LineMeaning Classify(std::u16string_view line) {
  const std::u16string_view text = TrimBlanks(line);
  if (text.empty() || text.front() == u';') return {};
  if (text.front() == u'[') {
    const std::u16string_view inside = text.substr(1, text.find(u']') - 1);
    return {LineMeaning::Kind::kSection, TrimBlanks(inside), {}};
  }
  const std::size_t equals = text.find(u'=');
  if (equals == std::u16string_view::npos) return {};
  return {LineMeaning::Kind::kKey, TrimBlanks(text.substr(0, equals)),
          DropEnclosingQuotes(TrimBlanks(text.substr(equals + 1)))};
}

std::u16string HeaderText(std::u16string_view section) { return u"[" + std::u16string(section) + u"]"; }

std::u16string KeyLineText(std::u16string_view key, std::u16string_view value) {
  return std::u16string(key) + u"=" + std::u16string(value);
}

bool HasLineBreak(std::u16string_view text) { return text.find_first_of(u"\r\n") != std::u16string_view::npos; }

// The position of the next line feed at or after `start`, on a code unit
// boundary, or npos.
std::size_t FindLineFeed(std::string_view bytes, std::size_t start, std::string_view lineFeed) {
  if (lineFeed.size() == 1) return bytes.find(lineFeed[0], start);
  for (std::size_t at = start; at + lineFeed.size() <= bytes.size(); at += lineFeed.size()) {
    if (bytes.compare(at, lineFeed.size(), lineFeed) == 0) return at;
  }
  return std::string_view::npos;
}

}  // namespace

std::size_t IniDocument::FoldedHash::operator()(std::u16string_view name) const noexcept {
  std::size_t hash = 14695981039346656037ull;  // FNV-1a over the case-folded code units
  for (char16_t c : name) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    hash = (hash ^ c) * 1099511628211ull;
  }
  return hash;
}

bool IniDocument::FoldedEqual::operator()(std::u16string_view a, std::u16string_view b) const noexcept {
  return EqualsIgnoringAsciiCase(a, b);
}

IniDocument::IniDocument() : lineEnd_(EncodedLine(u"\n")) {}

IniDocument::IniDocument(std::string_view bytes) : encoding_(DetectIniEncoding(bytes)) {
  bytes.remove_prefix(ByteOrderMark(encoding_).size());
  const std::string lineFeed = EncodedLine(u"\n");
  const std::string carriageReturn = EncodedLine(u"\r");
  const std::size_t unit = lineFeed.size();
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t feed = FindLineFeed(bytes, start, lineFeed);
    if (feed == std::string_view::npos) {
      AddLine(std::string(bytes.substr(start)), {});
      break;
    }
    std::size_t textEnd = feed;
    if (feed - start >= unit && bytes.compare(feed - unit, unit, carriageReturn) == 0) textEnd -= unit;
    std::string end(bytes.substr(textEnd, feed + unit - textEnd));
    if (lineEnd_.empty()) lineEnd_ = end;
    AddLine(std::string(bytes.substr(start, textEnd - start)), std::move(end));
    start = feed + unit;
  }
  if (lineEnd_.empty()) lineEnd_ = lineFeed;
}

void IniDocument::AddLine(std::string text, std::string end) {
  const std::u16string decoded = DecodeIniText(encoding_, text);
  const LineMeaning meaning = Classify(decoded);
  Line line{std::move(text), std::move(end)};
  if (meaning.kind == LineMeaning::Kind::kSection) {
    sectionIndex_.emplace(std::u16string(meaning.name), sections_.size());
    sections_.push_back(Section{std::move(line), {}, 0, {}});
    return;
  }
  if (sections_.empty()) {
    preamble_.push_back(std::move(line));
    return;
  }
  Section& section = sections_.back();
  section.body.push_back(std::move(line));
  if (meaning.kind == LineMeaning::Kind::kKey) {
    section.keys.emplace(std::u16string(meaning.name),
                         KeyEntry{section.body.size() - 1, std::u16string(meaning.value)});
    section.keyLinesEnd = section.body.size();
  }
}

const std::u16string* IniDocument::Find(std::u16string_view section, std::u16string_view key) const {
  const auto foundSection = sectionIndex_.find(section);
  if (foundSection == sectionIndex_.end()) return nullptr;
  const auto& keys = sections_[foundSection->second].keys;
  const auto foundKey = keys.find(key);
  return foundKey == keys.end() ? nullptr : &foundKey->second.value;
}

bool IniDocument::CanHold(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) {
    return false;
  }
  const std::u16string header = HeaderText(section);
  const LineMeaning headerMeaning = Classify(header);
  const std::u16string keyLine = KeyLineText(key, value);
  const LineMeaning keyMeaning = Classify(keyLine);
  return headerMeaning.kind == LineMeaning::Kind::kSection && headerMeaning.name == section &&
         keyMeaning.kind == LineMeaning::Kind::kKey && keyMeaning.name == key;
}

bool IniDocument::Set(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  const std::u16string keyLine = KeyLineText(key, value);
  const std::u16string storedValue(Classify(keyLine).value);
  std::string text = EncodedLine(keyLine);

  const auto foundSection = sectionIndex_.find(section);
  if (foundSection == sectionIndex_.end()) {
    if (Line* last = LastLine()) EndLine(*last);
    Section added{Line{EncodedLine(HeaderText(section)), lineEnd_}, {}, 1, {}};
    added.body.push_back(Line{std::move(text), lineEnd_});
    added.keys.emplace(std::u16string(key), KeyEntry{0, storedValue});
    sectionIndex_.emplace(std::u16string(section), sections_.size());
    sections_.push_back(std::move(added));
    return true;
  }

  Section& target = sections_[foundSection->second];
  const auto foundKey = target.keys.find(key);
  if (foundKey != target.keys.end()) {
    Line& line = target.body[foundKey->second.line];
    if (line.text == text) return false;
    line.text = std::move(text);
    foundKey->second.value = storedValue;
    return true;
  }

  // Every key line lies before keyLinesEnd, so inserting there moves none of them.
  const std::size_t at = target.keyLinesEnd;
  EndLine(at == 0 ? target.header : target.body[at - 1]);
  target.body.insert(target.body.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), lineEnd_});
  target.keys.emplace(std::u16string(key), KeyEntry{at, storedValue});
  target.keyLinesEnd = at + 1;
  return true;
}

std::string IniDocument::Bytes() const {
  std::string bytes(ByteOrderMark(encoding_));
  const auto append = [&bytes](const Line& line) {
    bytes += line.text;
    bytes += line.end;
  };
  for (const Line& line : preamble_) append(line);
  for (const Section& section : sections_) {
    append(section.header);
    for (const Line& line : section.body) append(line);
  }
  return bytes;
}

std::string IniDocument::EncodedLine(std::u16string_view text) const { return EncodeIniText(encoding_, text); }

void IniDocument::EndLine(Line& line) const {
  if (!line.end.empty()) return;
  // A stray byte at the end of a UTF-16 file (half a code unit) becomes the
  // replacement character it reads as, so that the lines after it stay
  // aligned and the line means after the write what it meant before.
  const std::size_t unit = CodeUnitSize(encoding_);
  if (const std::size_t stray = line.text.size() % unit; stray != 0) {
    line.text.resize(line.text.size() - stray);
    line.text += EncodedLine(u"\uFFFD");
  }
  // A carriage return that ends the text stays part of it: a line feed right
  // after it would make it the line end ("[Config1\r" would become a header).
  const std::string carriageReturn = EncodedLine(u"\r");
  line.end = line.text.ends_with(carriageReturn) ? carriageReturn + EncodedLine(u"\n") : lineEnd_;
}

IniDocument::Line* IniDocument::LastLine() {
  if (!sections_.empty()) {
    Section& last = sections_.back();
    return last.body.empty() ? &last.header : &last.body.back();
  }
  return preamble_.empty() ? nullptr : &preamble_.back();
}

}  // namespace tolvar
