#include "IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>

namespace tvgeneral {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    a = Trim(a);
    b = Trim(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

std::string DecodeValue(std::string_view raw) {
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"')
        raw = raw.substr(1, raw.size() - 2);
    return std::string(raw);
}

std::string EncodeValue(std::string_view value) {
    const bool edgeBlank = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    std::string text;
    text.reserve(value.size() + 2);
    if (edgeBlank || quoted) text += '"';
    text.append(value);
    if (edgeBlank || quoted) text += '"';
    return text;
}

enum class ReadResult { kOk, kMissing, kError };

ReadResult ReadWholeFile(const std::string& path, std::string& text) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ReadResult::kMissing : ReadResult::kError;
    text.clear();
    char buffer[8192];
    while (true) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return ReadResult::kError;
        }
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return ReadResult::kOk;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The file a write must replace: a symbolic link is followed, so that the link stays.
std::string TargetOf(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) != nullptr) return resolved;
    }
    return path;
}

bool ReplaceFile(const std::string& path, std::string_view text) {
    static std::atomic<unsigned> counter{0};
    const std::string target = TargetOf(path);
    const std::string temp = target + ".tmp." + std::to_string(getpid()) + "." +
                             std::to_string(counter.fetch_add(1));
    // 0666 lets the umask decide for a new file; an existing file keeps its mode below.
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat old {};
    bool ok = true;
    if (stat(target.c_str(), &old) == 0) ok = fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, text) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here no longer endangers the file.
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

}  // namespace

IniDocument::IniDocument(std::string_view text) {
    if (text.substr(0, kBom.size()) == kBom) {
        bom_ = kBom;
        text.remove_prefix(kBom.size());
    }
    bool eolKnown = false;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        std::string_view raw = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        const bool crlf = !raw.empty() && raw.back() == '\r';
        if (crlf) raw.remove_suffix(1);
        if (!eolKnown && nl != std::string_view::npos) {
            eol_ = crlf ? "\r\n" : "\n";
            eolKnown = true;
        }

        Line line;
        line.text = std::string(raw);
        const std::string_view body = Trim(raw);
        const std::size_t close = body.find(']');
        const std::size_t equals = body.find('=');
        if (body.empty() || body.front() == ';' || body.front() == '#') {
            // blank or comment
        } else if (body.front() == '[' && close != std::string_view::npos) {
            line.kind = Kind::kSection;
            line.name = std::string(Trim(body.substr(1, close - 1)));
        } else if (equals != std::string_view::npos && !Trim(body.substr(0, equals)).empty()) {
            line.kind = Kind::kEntry;
            line.name = std::string(Trim(body.substr(0, equals)));
            line.value = std::string(Trim(body.substr(equals + 1)));
        }
        lines_.push_back(std::move(line));
    }
}

std::optional<std::string> IniDocument::Get(std::string_view section,
                                            std::string_view key) const {
    bool inSection = false;
    for (const Line& line : lines_) {
        if (line.kind == Kind::kSection)
            inSection = SameName(line.name, section);
        else if (inSection && line.kind == Kind::kEntry && SameName(line.name, key))
            return DecodeValue(line.value);
    }
    return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string encoded = EncodeValue(value);
    const auto entry = [&] {
        Line line;
        line.kind = Kind::kEntry;
        line.name = std::string(Trim(key));
        line.value = encoded;
        line.text = line.name + "=" + encoded;
        return line;
    };

    // The key is changed where Get finds it; a new key goes after the last entry of the
    // first section of that name.
    std::optional<std::size_t> firstSection;
    std::optional<std::size_t> lastEntryOfFirst;
    bool inSection = false;
    bool inFirst = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        Line& line = lines_[i];
        if (line.kind == Kind::kSection) {
            inSection = SameName(line.name, section);
            inFirst = inSection && !firstSection;
            if (inFirst) firstSection = i;
        } else if (inSection && line.kind == Kind::kEntry) {
            if (SameName(line.name, key)) {
                line.text = line.name + "=" + encoded;
                line.value = encoded;
                return;
            }
            if (inFirst) lastEntryOfFirst = i;
        }
    }
    if (firstSection) {
        const std::size_t at = lastEntryOfFirst ? *lastEntryOfFirst + 1 : *firstSection + 1;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), entry());
        return;
    }
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back(Line());
    Line header;
    header.kind = Kind::kSection;
    header.name = std::string(Trim(section));
    header.text = "[" + header.name + "]";
    lines_.push_back(std::move(header));
    lines_.push_back(entry());
}

std::string IniDocument::Text() const {
    std::string text = bom_;
    for (const Line& line : lines_) {
        text += line.text;
        text += eol_;
    }
    return text;
}

bool IsValidSectionName(std::string_view name) {
    return !Trim(name).empty() && !HasLineBreak(name) && name.find(']') == std::string_view::npos;
}

bool IsValidKey(std::string_view key) {
    const std::string_view body = Trim(key);
    return !body.empty() && !HasLineBreak(key) && key.find('=') == std::string_view::npos &&
           body.front() != '[' && body.front() != ';' && body.front() != '#';
}

bool IsValidValue(std::string_view value) { return !HasLineBreak(value); }

std::optional<std::string> ReadIniValue(const std::string& path, std::string_view section,
                                        std::string_view key) {
    std::string text;
    if (ReadWholeFile(path, text) != ReadResult::kOk) return std::nullopt;
    return IniDocument(text).Get(section, key);
}

bool WriteIniValue(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view value) {
    if (!IsValidSectionName(section) || !IsValidKey(key) || !IsValidValue(value)) return false;
    static std::mutex writers;
    std::lock_guard<std::mutex> lock(writers);
    std::string text;
    if (ReadWholeFile(path, text) == ReadResult::kError) return false;
    IniDocument document(text);
    document.Set(section, key, value);
    return ReplaceFile(path, document.Text());
}

}  // namespace tvgeneral
