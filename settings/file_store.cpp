#include "settings/file_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const CurrentUserPrefix = "HKEY_CURRENT_USER\\";

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Trim(const std::string& s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(s[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(s[end - 1]))) --end;
    return s.substr(begin, end - begin);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A quoted string starting at text[*pos] == '"', with \\ and \" escapes;
// *pos ends after the closing quote.
bool ReadQuoted(const std::string& text, std::size_t* pos, std::string* out) {
    std::size_t i = *pos + 1;
    out->clear();
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"') {
            *pos = i + 1;
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= text.size()) return false;
            out->push_back(text[i + 1]);
            i += 2;
        } else {
            out->push_back(c);
            ++i;
        }
    }
    return false;
}

// "xx,xx,..." (possibly empty) into bytes.
bool ReadHexList(const std::string& text, std::vector<std::uint8_t>* bytes) {
    bytes->clear();
    const std::string list = Trim(text);
    if (list.empty()) return true;
    std::size_t i = 0;
    for (;;) {
        while (i < list.size() && list[i] == ' ') ++i;
        if (i + 2 > list.size()) return false;
        const int hi = HexDigit(list[i]);
        const int lo = HexDigit(list[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes->push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        i += 2;
        while (i < list.size() && list[i] == ' ') ++i;
        if (i == list.size()) return true;
        if (list[i] != ',') return false;
        ++i;
    }
}

// The data after '=' as the bytes a registry query returns.
bool ReadData(const std::string& data, std::vector<std::uint8_t>* bytes) {
    bytes->clear();
    if (data.compare(0, 6, "dword:") == 0) {
        const std::string digits = data.substr(6);
        if (digits.empty() || digits.size() > 8) return false;
        std::uint32_t v = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0) return false;
            v = v * 16 + static_cast<std::uint32_t>(d);
        }
        for (int i = 0; i < 4; ++i) bytes->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return true;
    }
    if (data.compare(0, 4, "hex:") == 0) return ReadHexList(data.substr(4), bytes);
    if (data.compare(0, 4, "hex(") == 0) {
        const std::size_t close = data.find("):");
        if (close == std::string::npos || close == 4) return false;
        for (std::size_t i = 4; i < close; ++i)
            if (HexDigit(data[i]) < 0) return false;
        return ReadHexList(data.substr(close + 2), bytes);
    }
    if (!data.empty() && data[0] == '"') {
        std::size_t pos = 0;
        std::string text;
        if (!ReadQuoted(data, &pos, &text) || pos != data.size()) return false;
        bytes->assign(text.begin(), text.end());
        bytes->push_back(0);  // a string's data ends with its terminating zero
        return true;
    }
    return false;
}

RegFileKey* FindKey(RegFile& file, const std::string& path) {
    for (RegFileKey& key : file.Keys)
        if (SameText(key.Path, path)) return &key;
    return nullptr;
}

void SetValue(RegFileKey& key, RegFileValue value) {
    for (RegFileValue& existing : key.Values) {
        if (!existing.Verbatim && SameText(existing.Name, value.Name)) {
            existing = std::move(value);
            return;
        }
    }
    key.Values.push_back(std::move(value));
}

std::string QuoteName(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

struct OpenFileKey {
    FileStore* Store;
    std::string Path;
    bool ForWrite;
};

bool OpenForRead(void* context, const char* keyPath, StoreKey* key) {
    FileStore& store = *static_cast<FileStore*>(context);
    const std::string path = CurrentUserPrefix + std::string(keyPath);
    if (FindKey(store.Contents, path) == nullptr) return false;
    *key = new OpenFileKey{&store, path, false};
    ++store.OpenKeys;
    return true;
}

bool OpenForWrite(void* context, const char* keyPath, StoreKey* key) {
    FileStore& store = *static_cast<FileStore*>(context);
    const std::string path = CurrentUserPrefix + std::string(keyPath);
    if (FindKey(store.Contents, path) == nullptr) store.Contents.Keys.push_back(RegFileKey{path, {}});
    *key = new OpenFileKey{&store, path, true};
    ++store.OpenKeys;
    return true;
}

bool Read(void*, StoreKey key, const char* name, std::uint32_t* value) {
    OpenFileKey& open = *static_cast<OpenFileKey*>(key);
    const RegFileKey* found = FindKey(open.Store->Contents, open.Path);
    if (found == nullptr) return false;
    for (const RegFileValue& v : found->Values) {
        if (v.Verbatim || !SameText(v.Name, name)) continue;
        if (v.Bytes.size() > 4) return false;
        std::uint32_t n = 0;
        for (std::size_t i = 0; i < v.Bytes.size(); ++i) n |= std::uint32_t{v.Bytes[i]} << (8 * i);
        *value = n;
        return true;
    }
    return false;
}

bool Write(void*, StoreKey key, const char* name, std::uint32_t value) {
    OpenFileKey& open = *static_cast<OpenFileKey*>(key);
    RegFileKey* found = FindKey(open.Store->Contents, open.Path);
    if (found == nullptr) return false;
    char data[16];
    std::snprintf(data, sizeof data, "dword:%08x", static_cast<unsigned>(value));
    RegFileValue v{name, data, {}};
    for (int i = 0; i < 4; ++i) v.Bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    SetValue(*found, std::move(v));
    return true;
}

void Close(void* context, StoreKey key) {
    FileStore& store = *static_cast<FileStore*>(context);
    OpenFileKey* open = static_cast<OpenFileKey*>(key);
    if (open->ForWrite && store.SaveOnClose && !SaveFileStore(store))
        std::fprintf(stderr, "mirrowen: could not save the settings to %s: %s\n", store.Path.c_str(),
                     std::strerror(errno));
    delete open;
    --store.OpenKeys;
}

bool MakeDirectories(const std::string& dir) {
    if (dir.empty()) return true;
    struct stat info;
    if (stat(dir.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
    const std::size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirectories(dir.substr(0, slash))) return false;
    return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A new file beside `target`, made with mode 0666 so that the umask (and a
// default ACL of its folder) applies as to any file a program creates.
int CreateTemporary(const std::string& target, std::string* temp) {
    static unsigned made = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temp = target + "." + std::to_string(getpid()) + "-" + std::to_string(++made) + ".tmp";
        const int fd = open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The registry editor's default export is UTF-16 little-endian with a
// byte-order mark; its text is read as UTF-8.
std::string Utf16LeToUtf8(const std::string& bytes) {
    std::string out;
    auto put = [&out](std::uint32_t c) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    };
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        std::uint32_t unit = static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const std::uint32_t low = static_cast<unsigned char>(bytes[i + 2]) | static_cast<unsigned char>(bytes[i + 3]) << 8;
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        put(unit);
    }
    return out;
}

}  // namespace

RegFile ParseRegFile(const std::string& input, std::vector<std::string>* problems) {
    const std::string text = input.compare(0, 2, "\xFF\xFE") == 0 ? Utf16LeToUtf8(input) : input;
    RegFile file;
    RegFileKey* current = nullptr;
    bool headerSeen = false;
    auto problem = [&](int line, const char* what, const std::string& content) {
        if (problems != nullptr)
            problems->push_back("line " + std::to_string(line) + ": " + what + ": " + content);
    };
    // An unreadable line stays where it was: in its key, or in a block of
    // its own outside the keys.
    auto keep = [&](const std::string& content) {
        RegFileValue verbatim{std::string(), content, {}, true};
        if (current != nullptr) {
            current->Values.push_back(std::move(verbatim));
            return;
        }
        if (file.Keys.empty() || !file.Keys.back().Path.empty()) file.Keys.push_back(RegFileKey{std::string(), {}});
        file.Keys.back().Values.push_back(std::move(verbatim));
    };

    std::size_t pos = 0;
    int lineNumber = 0;
    // A UTF-8 byte-order mark is not part of the header.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < text.size()) {
        // One logical line: a trailing backslash continues hex data on the next.
        const int firstLine = ++lineNumber;
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        while (!line.empty() && line.back() == '\\' && pos < text.size()) {
            line.pop_back();
            end = text.find('\n', pos);
            if (end == std::string::npos) end = text.size();
            std::string next = text.substr(pos, end - pos);
            pos = end + 1;
            ++lineNumber;
            if (!next.empty() && next.back() == '\r') next.pop_back();
            line += Trim(next);
        }
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == ';') continue;
        if (!headerSeen) {
            headerSeen = true;
            if (trimmed == "REGEDIT4" || trimmed == "Windows Registry Editor Version 5.00") continue;
            problem(firstLine, "not a registry file header", trimmed);
        }
        if (trimmed == "REGEDIT4" || trimmed == "Windows Registry Editor Version 5.00") {
            problem(firstLine, "header repeated", trimmed);
            continue;
        }
        if (trimmed[0] == '[') {
            if (trimmed.back() != ']' || trimmed.size() < 3 || trimmed[1] == '-') {
                problem(firstLine, "unreadable key line", trimmed);
                current = nullptr;  // its values would land in the wrong key
                keep(trimmed);
                continue;
            }
            const std::string path = trimmed.substr(1, trimmed.size() - 2);
            current = FindKey(file, path);
            if (current == nullptr) {
                file.Keys.push_back(RegFileKey{path, {}});
                current = &file.Keys.back();
            }
            continue;
        }
        if (current == nullptr) {
            problem(firstLine, "value outside a readable key", trimmed);
            keep(trimmed);
            continue;
        }
        RegFileValue value;
        std::size_t at = 0;
        if (trimmed[0] == '@') {
            value.Name = "@";
            at = 1;
        } else if (trimmed[0] != '"' || !ReadQuoted(trimmed, &at, &value.Name)) {
            problem(firstLine, "unreadable value name", trimmed);
            keep(trimmed);
            continue;
        }
        while (at < trimmed.size() && trimmed[at] == ' ') ++at;
        if (at >= trimmed.size() || trimmed[at] != '=') {
            problem(firstLine, "missing '='", trimmed);
            keep(trimmed);
            continue;
        }
        value.Data = Trim(trimmed.substr(at + 1));
        if (!ReadData(value.Data, &value.Bytes)) {
            problem(firstLine, "unreadable value data", trimmed);
            keep(trimmed);
            continue;
        }
        SetValue(*current, std::move(value));
    }
    return file;
}

std::string FormatRegFile(const RegFile& file) {
    // CR LF, as the registry editor writes and reads it on Windows.
    std::string out = "REGEDIT4\r\n";
    for (const RegFileKey& key : file.Keys) {
        out += key.Path.empty() ? "\r\n" : "\r\n[" + key.Path + "]\r\n";
        for (const RegFileValue& v : key.Values) {
            if (v.Verbatim)  // a closing backslash would join the next line to it: a blank after it
                out += v.Data + (v.Data.back() == '\\' ? " \r\n" : "\r\n");
            else
                out += (v.Name == "@" ? std::string("@") : QuoteName(v.Name)) + "=" + v.Data + "\r\n";
        }
    }
    out += "\r\n";
    return out;
}

bool LoadFileStore(FileStore& store, const std::string& path, std::vector<std::string>* problemsOut) {
    store.Path = path;
    store.Contents = RegFile{};
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return errno == ENOENT;
    std::string text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return false;
    std::vector<std::string> problems;
    store.Contents = ParseRegFile(text, &problems);
    if (problemsOut != nullptr) {
        *problemsOut = std::move(problems);
        return true;
    }
    for (const std::string& p : problems)
        std::fprintf(stderr, "mirrowen: %s: skipped %s\n", path.c_str(), p.c_str());
    return true;
}

std::string SaveTargetPath(const std::string& path) {
    std::string at = path;
    // As many links as the kernel itself follows before it gives up.
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat info;
        if (lstat(at.c_str(), &info) != 0) return errno == ENOENT ? at : std::string();
        if (!S_ISLNK(info.st_mode)) return at;
        char target[PATH_MAX];
        const ssize_t n = readlink(at.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target) {
            if (n >= 0) errno = ENAMETOOLONG;
            return std::string();
        }
        const std::string link(target, static_cast<std::size_t>(n));
        const std::size_t slash = at.find_last_of('/');
        // A relative target is taken from the link's own folder.
        at = link[0] == '/' || slash == std::string::npos ? link : at.substr(0, slash + 1) + link;
    }
    errno = ELOOP;
    return std::string();
}

bool SaveFileStore(const FileStore& store) {
    // Through a link, its target is replaced and the link kept.
    const std::string target = SaveTargetPath(store.Path);
    if (target.empty()) return false;
    const std::size_t slash = target.find_last_of('/');
    const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash);
    if (!MakeDirectories(dir)) return false;
    struct stat old;
    const bool replacing = stat(target.c_str(), &old) == 0;
    std::string temp;
    const int fd = CreateTemporary(target, &temp);
    if (fd < 0) return false;
    // A file that is there keeps its mode; a new one has the umask's, as
    // the temporary file was made.
    const bool written = WriteAll(fd, FormatRegFile(store.Contents)) &&
                         (!replacing || fchmod(fd, old.st_mode & 07777) == 0) && fsync(fd) == 0;
    const int savedErrno = errno;
    if (close(fd) != 0 || !written || std::rename(temp.c_str(), target.c_str()) != 0) {
        const int failure = written ? errno : savedErrno;
        unlink(temp.c_str());
        errno = failure;
        return false;
    }
    return true;
}

SettingsStore FileStoreInterface(FileStore& store) {
    return SettingsStore{&store, OpenForRead, Read, OpenForWrite, Write, Close};
}

std::string SettingsFilePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/mirrowen/mirrowen.reg";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* entry = getpwuid(getuid());
        if (entry == nullptr || entry->pw_dir == nullptr) return std::string();
        home = entry->pw_dir;
    }
    return std::string(home) + "/.config/mirrowen/mirrowen.reg";
}
