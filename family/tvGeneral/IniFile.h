// Classic INI files that stay hand-editable: "[Section]" headers and "Key=Value" lines,
// keys with blanks as they stand. A write changes only the line it must and keeps every
// other line, comment and blank line as it was.
//
// Reading rules: section and key names are compared without regard to ASCII letter case
// and without the blanks around them; the first occurrence wins when a hand-edited file
// repeats a section or a key. Lines starting with ';' or '#' are comments. A value loses
// the blanks around it, and one pair of enclosing double quotes is removed, so values that
// begin or end with a blank are written quoted and survive the round trip.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvgeneral {

class IniDocument {
public:
    explicit IniDocument(std::string_view text = {});

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Replaces the value of an existing key, adds the key at the end of its section, or adds
    // the section at the end of the text. Names and value must be valid (see below).
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // The whole text: original line ending (CR LF when the file used it) and byte-order mark.
    std::string Text() const;

private:
    enum class Kind { kOther, kSection, kEntry };
    struct Line {
        std::string text;
        Kind kind = Kind::kOther;
        std::string name;   // section name or key, trimmed, as written
        std::string value;  // entries: the raw value, trimmed
    };

    std::vector<Line> lines_;
    std::string bom_;
    std::string eol_ = "\n";
};

// What an INI line can hold: names and values without line breaks; a section name without
// ']'; a key without '=' that does not start like a header or a comment. Names must not be
// blank.
bool IsValidSectionName(std::string_view name);
bool IsValidKey(std::string_view key);
bool IsValidValue(std::string_view value);

// The value, or nothing when the file (or the section, or the key) is missing or unreadable.
std::optional<std::string> ReadIniValue(const std::string& path, std::string_view section,
                                        std::string_view key);
// Writes one value. The file is replaced atomically (a temporary file in the same folder,
// flushed to disk, then renamed over it; its permissions are kept), so a crash leaves
// either the old or the new file. Writers of this process are serialised so that no update
// is lost; writers in other processes are not. False when the names or the value cannot
// be stored or the file cannot be written; the file is then unchanged.
bool WriteIniValue(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view value);

}  // namespace tvgeneral
