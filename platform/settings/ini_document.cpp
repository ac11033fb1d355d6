#include "platform/settings/ini_document.h"

#include <algorithm>
#include <cstdio>

namespace platform::settings {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = AsciiLower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The text between the quotes of a quoted value, unescaped; nothing when
// the text is not exactly one well-formed quoted string.
std::optional<std::string> Unquote(std::string_view text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::nullopt;
  std::string out;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') return std::nullopt;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;  // a backslash escaping the closing quote
    const char e = text[++i];
    switch (e) {
      case '\\':
        out += '\\';
        break;
      case '"':
        out += '"';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'x': {
        if (i + 3 >= text.size()) return std::nullopt;
        const int hi = HexDigit(text[i + 1]);
        const int lo = HexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        break;
      }
      default:
        return std::nullopt;
    }
  }
  return out;
}

}  // namespace

IniDocument::IniDocument(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(start, end - start);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    lines_.push_back(ParseLine(std::string(raw)));
    start = end + 1;
  }
}

IniDocument::Line IniDocument::ParseLine(std::string raw) {
  Line line;
  line.raw = std::move(raw);
  std::string_view text = line.raw;
  if (text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
  text = Trim(text);
  if (text.empty() || text.front() == ';' || text.front() == '#') return line;
  if (text.front() == '[' && text.back() == ']') {
    line.kind = Line::Kind::kSection;
    line.name = Trim(text.substr(1, text.size() - 2));
    return line;
  }
  const auto eq = text.find('=');
  if (eq == std::string_view::npos) return line;
  line.kind = Line::Kind::kEntry;
  line.name = Trim(text.substr(0, eq));
  return line;
}

std::optional<std::size_t> IniDocument::FindEntry(std::string_view section,
                                                  std::string_view key) const {
  bool inSection = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == Line::Kind::kSection) {
      inSection = SameName(line.name, section);
    } else if (inSection && line.kind == Line::Kind::kEntry && SameName(line.name, key)) {
      return i;
    }
  }
  return std::nullopt;
}

std::optional<std::size_t> IniDocument::InsertionPoint(std::string_view section) const {
  std::optional<std::size_t> after;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == Line::Kind::kSection) {
      if (after) return after;
      if (SameName(line.name, section)) after = i;
    } else if (after && line.kind == Line::Kind::kEntry) {
      after = i;
    }
  }
  return after;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  const auto index = FindEntry(section, key);
  if (!index) return std::nullopt;
  const std::string& raw = lines_[*index].raw;
  return DecodeValue(std::string_view(raw).substr(raw.find('=') + 1));
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string encoded = EncodeValue(value);
  if (const auto index = FindEntry(section, key)) {
    Line& line = lines_[*index];
    line.raw = line.name + "=" + encoded;
    return;
  }
  Line entry{std::string(key) + "=" + encoded, Line::Kind::kEntry, std::string(key)};
  if (const auto after = InsertionPoint(section)) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*after) + 1, std::move(entry));
    return;
  }
  if (!lines_.empty() && !Trim(lines_.back().raw).empty()) lines_.push_back(Line{});
  lines_.push_back(
      Line{"[" + std::string(section) + "]", Line::Kind::kSection, std::string(section)});
  lines_.push_back(std::move(entry));
}

std::string IniDocument::Text() const {
  std::string text;
  for (const Line& line : lines_) {
    text += line.raw;
    text += '\n';
  }
  return text;
}

bool IniDocument::IsValidName(std::string_view name) {
  if (name.empty() || Trim(name) != name) return false;
  if (name.front() == ';' || name.front() == '#') return false;
  return std::ranges::none_of(name, [](char c) {
    return IsControl(static_cast<unsigned char>(c)) || c == '=' || c == '[' || c == ']';
  });
}

std::string IniDocument::EncodeValue(std::string_view value) {
  const bool plain = value.empty() || (Trim(value) == value && value.front() != '"' &&
                                       std::ranges::none_of(value, [](char c) {
                                         return IsControl(static_cast<unsigned char>(c));
                                       }));
  if (plain) return std::string(value);
  std::string out = "\"";
  for (const char c : value) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (IsControl(static_cast<unsigned char>(c))) {
          char hex[5];
          std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
          out += hex;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

std::string IniDocument::DecodeValue(std::string_view text) {
  text = Trim(text);
  // A value someone wrote by hand in quotes that are not ours stays as written.
  if (auto unquoted = Unquote(text)) return *std::move(unquoted);
  return std::string(text);
}

}  // namespace platform::settings
