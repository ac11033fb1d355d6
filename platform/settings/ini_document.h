// An INI text kept line by line, so that rewriting it changes only the
// entries that were set and keeps everything else (comments, other
// sections, lines it does not understand) as it was.
//
// Sections and keys are found without regard to ASCII letter case. Values
// that would not survive as plain text (blanks at either end, a leading
// quote, control characters such as line breaks) are written in double
// quotes with backslash escapes; everything else is written as it is.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::settings {

class IniDocument {
 public:
  IniDocument() = default;
  explicit IniDocument(std::string_view text);

  // The first matching entry of the first matching section that has it.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Changes the value in place, keeping the key's spelling in the text; a
  // new key goes to the end of the section's entries, a new section to the
  // end of the text. Names must pass IsValidName.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  std::string Text() const;

  // Non-empty, no blanks at either end, no control characters, and nothing
  // that would end a name early ("=" in keys, "]" in sections, "[" at the start).
  static bool IsValidName(std::string_view name);
  static std::string EncodeValue(std::string_view value);
  static std::string DecodeValue(std::string_view text);

 private:
  struct Line {
    std::string raw;
    enum class Kind { kOther, kSection, kEntry } kind = Kind::kOther;
    std::string name;  // section name or key, as written
  };

  std::optional<std::size_t> FindEntry(std::string_view section, std::string_view key) const;
  // Where a new key of the section goes: after its last entry.
  std::optional<std::size_t> InsertionPoint(std::string_view section) const;
  static Line ParseLine(std::string raw);

  std::vector<Line> lines_;
};

}  // namespace platform::settings
