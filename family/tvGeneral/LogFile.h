// Log files that several threads and processes append to at once.
#pragma once

#include <string>
#include <string_view>

namespace tvgeneral {

// Appends `text` and a line feed to the file, creating it when missing (permissions from
// the umask). The whole line goes out in one write() on an O_APPEND descriptor, so lines of
// concurrent writers, in this process or another, never interleave. The text is written
// as it is: no time stamp, no change of encoding. False when the file cannot be opened or
// the line not written in full.
bool AppendLine(const std::string& path, std::string_view text);

}  // namespace tvgeneral
