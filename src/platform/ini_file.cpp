#include "platform/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <system_error>

namespace corvalo::platform {

namespace {

bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view trimLeft(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    return s.substr(i);
}

std::string_view trim(std::string_view s) {
    s = trimLeft(s);
    std::size_t n = s.size();
    while (n > 0 && isBlank(s[n - 1])) --n;
    return s.substr(0, n);
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

// "\"MS Sans Serif\"" -> "MS Sans Serif"; a lone quote stays.
std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

// One line of the text: [begin, contentEnd) is its content, [contentEnd, end) its line end.
struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;
    std::size_t end = 0;
};

enum class LineKind { Other, Section, BrokenSection, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // trimmed, quotes still on
    bool blank = false;
};

class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}

    bool next(Line& line) {
        if (pos_ >= text_.size()) return false;
        line.begin = pos_;
        const std::size_t lf = text_.find('\n', pos_);
        if (lf == std::string_view::npos) {
            line.contentEnd = text_.size();
            line.end = text_.size();
        } else {
            line.contentEnd = lf > pos_ && text_[lf - 1] == '\r' ? lf - 1 : lf;
            line.end = lf + 1;
        }
        pos_ = line.end;
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

ParsedLine parseLine(std::string_view content) {
    ParsedLine p;
    const std::string_view t = trimLeft(content);
    if (t.empty()) {
        p.blank = true;
        return p;
    }
    if (t.front() == '[') {
        const std::size_t close = t.find(']');
        if (close == std::string_view::npos) {
            p.kind = LineKind::BrokenSection;
        } else {
            p.kind = LineKind::Section;
            p.name = trim(t.substr(1, close - 1));
        }
        return p;
    }
    if (t.front() == ';') return p;
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return p;
    p.kind = LineKind::Key;
    p.name = trim(t.substr(0, eq));
    p.value = trim(t.substr(eq + 1));
    return p;
}

std::string_view lineEndOf(std::string_view text) {
    const std::size_t lf = text.find('\n');
    return lf != std::string_view::npos && lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::uint32_t hexValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
    return static_cast<std::uint32_t>(c - 'A' + 10);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The folder of "/a/b/corvalo.ini" is "/a/b"; of "corvalo.ini" it is ".".
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The whole text, the old file's mode when there was one, and all of it on the disk.
bool writeSynced(int fd, std::string_view bytes, bool keepMode, mode_t mode) {
    if (!writeAll(fd, bytes)) return false;
    if (keepMode && ::fchmod(fd, mode) != 0) return false;
    return ::fsync(fd) == 0;
}

// "/a/corvalo.ini", attempt 2 -> "/a/corvalo.ini.tmp<pid>.2"
std::string tempNameFor(const std::string& target, int attempt) {
    return target + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(attempt);
}

// Gives the unnamed file open at `fd` a fresh name beside `target`, stored in `temp`.
bool nameUnnamedFile(int fd, const std::string& target, std::string& temp) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = tempNameFor(target, attempt);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        if (errno != EEXIST) break;
    }
    temp.clear();
    return false;
}

}  // namespace

ProfileStorage::ReadResult DiskProfileStorage::read(const std::string& path,
                                                     std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadResult::Failed;
    }
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            bytes.clear();
            return ReadResult::Failed;
        }
        if (n == 0) break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ReadResult::Ok;
}

bool DiskProfileStorage::replace(const std::string& path, std::string_view bytes) {
    // Replacing a link would cut it; write where it points instead.
    std::string target = path;
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        const auto resolved = std::filesystem::canonical(path, ec);
        if (!ec) target = resolved.string();
    }

    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0)) return false;

    // The bytes go first into a file without a name, which vanishes with the process
    // if it is killed meanwhile; only the finished file gets a name, just before the
    // rename. Where the file system has no such files (or /proc is missing to name
    // one), a named file is written instead.
    const std::string folder = folderOf(target);
    const mode_t mode = exists ? st.st_mode & 07777 : 0;
    std::string temp;
    bool renamed = false;
    if (const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666); fd >= 0) {
        const bool written = writeSynced(fd, bytes, exists, mode);
        // Named and renamed at once: a kill between the two is all that leaves a file behind.
        if (written && nameUnnamedFile(fd, target, temp)) {
            renamed = ::rename(temp.c_str(), target.c_str()) == 0;
            if (!renamed) ::unlink(temp.c_str());
        }
        ::close(fd);  // after fsync: nothing left for close to report
        if (!written || (!temp.empty() && !renamed)) return false;
    }
    if (!renamed) {
        int fd = -1;
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            temp = tempNameFor(target, attempt);
            fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST) return false;
        }
        if (fd < 0) return false;
        bool ok = writeSynced(fd, bytes, exists, mode);
        if (::close(fd) != 0) ok = false;
        if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
        if (!ok) {
            ::unlink(temp.c_str());
            return false;
        }
    }
    // The rename itself must reach the disk too; a folder that refuses fsync still renamed.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

std::optional<std::string_view> Profile::find(std::string_view section,
                                              std::string_view key) const {
    const std::string_view text = text_;
    LineCursor cursor(text);
    Line line;
    bool inSection = false;
    while (cursor.next(line)) {
        const ParsedLine p = parseLine(text.substr(line.begin, line.contentEnd - line.begin));
        switch (p.kind) {
            case LineKind::Section:
                inSection = equalsNoCase(p.name, section);
                break;
            case LineKind::BrokenSection:
                inSection = false;
                break;
            case LineKind::Key:
                if (inSection && equalsNoCase(p.name, key)) return unquote(p.value);
                break;
            case LineKind::Other:
                break;
        }
    }
    return std::nullopt;
}

std::string Profile::get(std::string_view section, std::string_view key,
                         std::string_view def) const {
    const auto value = find(section, key);
    if (!value) return std::string(def);
    return std::string(value->substr(0, kProfileValueMax));
}

bool Profile::set(std::string_view section, std::string_view key, std::string_view value) {
    std::string safe(value);
    for (char& c : safe) {
        if (c == '\r' || c == '\n') c = ' ';
    }

    const std::string_view text = text_;
    LineCursor cursor(text);
    Line line;
    bool inSection = false;
    bool inFirstSection = false;
    bool sectionSeen = false;
    Line sectionEnd;  // the last non-blank line of the first section of that name
    bool lastLineBlank = true;
    while (cursor.next(line)) {
        const std::string_view content = text.substr(line.begin, line.contentEnd - line.begin);
        const ParsedLine p = parseLine(content);
        lastLineBlank = p.blank;
        if (p.kind == LineKind::Section || p.kind == LineKind::BrokenSection) {
            inSection = p.kind == LineKind::Section && equalsNoCase(p.name, section);
            inFirstSection = inSection && !sectionSeen;
            if (inFirstSection) {
                sectionSeen = true;
                sectionEnd = line;
            }
            continue;
        }
        if (inFirstSection && !p.blank) sectionEnd = line;
        if (p.kind != LineKind::Key || !inSection || !equalsNoCase(p.name, key)) continue;

        // "Key = 3" -> "Key = 5": the name, '=' and the blanks after it stay.
        if (unquote(p.value) == unquote(trim(safe))) return false;
        std::size_t valueBegin = line.begin + content.find('=') + 1;
        while (valueBegin < line.contentEnd &&
               (text[valueBegin] == ' ' || text[valueBegin] == '\t')) {
            ++valueBegin;
        }
        text_.replace(valueBegin, line.contentEnd - valueBegin, safe);
        return true;
    }

    const std::string eol(lineEndOf(text));
    std::string added;
    if (sectionSeen) {
        if (sectionEnd.end == sectionEnd.contentEnd) added += eol;  // last line, no line end
        added.append(key).append("=").append(safe).append(eol);
        text_.insert(sectionEnd.end, added);
        return true;
    }
    if (!text_.empty()) {
        if (text_.back() != '\n') added += eol;
        if (!lastLineBlank) added += eol;
    }
    added.append("[").append(section).append("]").append(eol);
    added.append(key).append("=").append(safe).append(eol);
    text_ += added;
    return true;
}

std::optional<std::int32_t> parseProfileInt(std::string_view text) {
    std::string_view hex;
    bool isHex = false;
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
        hex = text.substr(1);
        isHex = true;
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = text.substr(2);
        isHex = true;
    }
    if (isHex) {
        if (hex.empty() || hex.size() > 8) return std::nullopt;
        std::uint32_t v = 0;
        for (const char c : hex) {
            if (!isHexDigit(c)) return std::nullopt;
            v = v << 4 | hexValue(c);
        }
        return static_cast<std::int32_t>(v);  // "$FFFFFFFF" -> -1
    }

    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    constexpr std::int64_t kLimit = std::int64_t{INT32_MAX} + 1;
    std::int64_t v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > kLimit) return std::nullopt;
    }
    if (negative) return static_cast<std::int32_t>(-v);
    if (v == kLimit) return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::string getProfileString(ProfileStorage& storage, const std::string& file,
                             std::string_view section, std::string_view key,
                             std::string_view def) {
    std::string bytes;
    if (storage.read(file, bytes) != ProfileStorage::ReadResult::Ok) return std::string(def);
    return Profile(std::move(bytes)).get(section, key, def);
}

std::string getProfileString(const std::string& file, std::string_view section,
                             std::string_view key, std::string_view def) {
    DiskProfileStorage disk;
    return getProfileString(disk, file, section, key, def);
}

std::int32_t getProfileInt(ProfileStorage& storage, const std::string& file,
                           std::string_view section, std::string_view key, std::int32_t def) {
    std::string bytes;
    if (storage.read(file, bytes) != ProfileStorage::ReadResult::Ok) return def;
    const Profile profile(std::move(bytes));
    return parseProfileInt(profile.get(section, key, "")).value_or(def);
}

std::int32_t getProfileInt(const std::string& file, std::string_view section,
                           std::string_view key, std::int32_t def) {
    DiskProfileStorage disk;
    return getProfileInt(disk, file, section, key, def);
}

bool writeProfileString(ProfileStorage& storage, const std::string& file,
                        std::string_view section, std::string_view key,
                        std::string_view value) {
    std::string bytes;
    // A file that exists but cannot be read must not be overwritten with one key.
    if (storage.read(file, bytes) == ProfileStorage::ReadResult::Failed) return false;
    Profile profile(std::move(bytes));
    if (!profile.set(section, key, value)) return true;
    return storage.replace(file, profile.text());
}

bool writeProfileString(const std::string& file, std::string_view section,
                        std::string_view key, std::string_view value) {
    DiskProfileStorage disk;
    return writeProfileString(disk, file, section, key, value);
}

}  // namespace corvalo::platform
