// The registry's five operations over a file-backed hierarchical store in the user's config folder.
#include "platform/registry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "foundation/utf.h"

// An open key: the root it hangs from, the names of the keys below the root (as stored) and the
// access it was opened with. The key itself lives in the file; every operation reads the file
// afresh, so another process's writes are seen and a handle never points into freed memory.
struct HKEY__ {
    ERegRoot m_root;
    std::vector<CString> m_path;
    REGSAM m_access;
};

namespace {

// The file format, one record per line, every name and every data block as lower-case hex (names
// of their UTF-8 bytes, "-" when empty):
//   hopwatch-registry 1
//   k <root> <path>            a key; its path is the names below the root joined with '\'
//   v <name> <type> <data>     a value of the key above it
//   sum <8 hex digits>         FNV-1a checksum of every byte before this line
// Anything else, a wrong checksum or a missing last line makes the whole file read as empty:
// a truncated or damaged store loses the settings, never crashes or half-loads.
const char kHeader[] = "hopwatch-registry 1\n";
const size_t kMaxStoreBytes = 64u << 20;
const int kRootCount = 7;

struct SValue {
    CString m_name;
    DWORD m_type = 0;
    std::vector<BYTE> m_data;
};

struct SKey {
    CString m_name;
    std::vector<SValue> m_values;
    std::vector<std::unique_ptr<SKey>> m_children;
};

struct SStore {
    SKey m_roots[kRootCount];
};

std::mutex g_handlesLock; // guards g_handles
std::set<HKEY__*> g_handles;
std::atomic<int> g_crashBeforeRename{0};

wchar_t FoldCase(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool SameName(const CString& a, const CString& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

SKey* FindChild(SKey& key, const CString& name) {
    for (auto& child : key.m_children)
        if (SameName(child->m_name, name))
            return child.get();
    return nullptr;
}

SValue* FindValue(SKey& key, const CString& name) {
    for (SValue& value : key.m_values)
        if (SameName(value.m_name, name))
            return &value;
    return nullptr;
}

SKey* FindKey(SStore& store, ERegRoot root, const std::vector<CString>& path) {
    SKey* key = &store.m_roots[root];
    for (size_t i = 0; key != nullptr && i < path.size(); ++i)
        key = FindChild(*key, path[i]);
    return key;
}

// The components of a sub key; empty components name the key they are in, as in the system's
// registry functions.
std::vector<CString> SplitSubKey(LPCWSTR subKey) {
    std::vector<CString> parts;
    if (subKey == nullptr)
        return parts;
    CString part;
    for (const wchar_t* p = subKey;; ++p) {
        if (*p == L'\\' || *p == L'\0') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
            if (*p == L'\0')
                break;
        } else {
            part.push_back(*p);
        }
    }
    return parts;
}

// ---- locations ----

CString ConfigDirectory() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') {
            const passwd* pw = getpwuid(getuid());
            home = pw != nullptr ? pw->pw_dir : nullptr;
        }
        if (home == nullptr || home[0] != '/')
            return CString();
        base = std::string(home) + "/.config";
    }
    return FromUtf8(base + "/hopwatch");
}

std::string DirectoryBytes() {
    return ToUtf8(ConfigDirectory());
}

// Creates the folder (and its parents) owner-only; true when it exists afterwards.
bool MakeDirectories(const std::string& dir) {
    for (size_t slash = 1; slash != std::string::npos; slash = dir.find('/', slash + 1)) {
        std::string prefix = dir.substr(0, slash);
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info;
    return stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// ---- reading and writing the file ----

void AppendHex(std::string& out, const BYTE* data, size_t size) {
    static const char digits[] = "0123456789abcdef";
    if (size == 0) {
        out.push_back('-');
        return;
    }
    for (size_t i = 0; i < size; ++i) {
        out.push_back(digits[data[i] >> 4]);
        out.push_back(digits[data[i] & 15]);
    }
}

void AppendHexText(std::string& out, const CString& text) {
    std::string bytes = ToUtf8(text);
    AppendHex(out, reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool ParseHex(const std::string& field, std::vector<BYTE>& out) {
    out.clear();
    if (field == "-")
        return true;
    if (field.empty() || field.size() % 2 != 0)
        return false;
    out.reserve(field.size() / 2);
    for (size_t i = 0; i < field.size(); i += 2) {
        int high = HexDigit(field[i]);
        int low = HexDigit(field[i + 1]);
        if (high < 0 || low < 0)
            return false;
        out.push_back(static_cast<BYTE>(high * 16 + low));
    }
    return true;
}

bool ParseHexText(const std::string& field, CString& out) {
    std::vector<BYTE> bytes;
    if (!ParseHex(field, bytes))
        return false;
    out = FromUtf8(std::string(bytes.begin(), bytes.end()));
    return true;
}

bool ParseNumber(const std::string& field, DWORD& out, int radix) {
    if (field.empty() || field.size() > 10)
        return false;
    char* end = nullptr;
    unsigned long long value = std::strtoull(field.c_str(), &end, radix);
    if (*end != '\0' || value > 0xFFFFFFFFull || field[0] == '-' || field[0] == '+')
        return false;
    out = static_cast<DWORD>(value);
    return true;
}

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (start <= line.size()) {
        size_t space = line.find(' ', start);
        if (space == std::string::npos)
            space = line.size();
        fields.push_back(line.substr(start, space - start));
        start = space + 1;
    }
    return fields;
}

// FNV-1a over the bytes: enough to tell a damaged file from a sound one, and it keeps the
// platform layer free of the foundation's CRC class.
DWORD TextSum(const char* data, size_t size) {
    DWORD sum = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        sum = (sum ^ static_cast<unsigned char>(data[i])) * 16777619u;
    return sum;
}

// Parses the whole file into `store`; false (store left empty) when anything is wrong with it.
bool ParseStore(const std::string& text, SStore& store) {
    if (text.compare(0, sizeof(kHeader) - 1, kHeader) != 0)
        return false;
    size_t sumLine = text.rfind("sum ");
    if (sumLine == std::string::npos || sumLine < sizeof(kHeader) - 1 ||
        text[sumLine - 1] != '\n' || text.back() != '\n')
        return false;
    DWORD storedSum = 0;
    if (!ParseNumber(text.substr(sumLine + 4, text.size() - sumLine - 5), storedSum, 16) ||
        storedSum != TextSum(text.data(), sumLine))
        return false;
    SKey* current = nullptr;
    size_t pos = sizeof(kHeader) - 1;
    while (pos < sumLine) {
        size_t end = text.find('\n', pos);
        std::vector<std::string> fields = SplitFields(text.substr(pos, end - pos));
        pos = end + 1;
        if (fields[0] == "k" && fields.size() == 3) {
            DWORD root = 0;
            CString path;
            if (!ParseNumber(fields[1], root, 10) || root >= kRootCount ||
                !ParseHexText(fields[2], path))
                return false;
            current = &store.m_roots[root];
            for (const CString& name : SplitSubKey(path.c_str())) {
                SKey* child = FindChild(*current, name);
                if (child == nullptr) {
                    current->m_children.push_back(std::make_unique<SKey>());
                    child = current->m_children.back().get();
                    child->m_name = name;
                }
                current = child;
            }
        } else if (fields[0] == "v" && fields.size() == 4 && current != nullptr) {
            SValue value;
            if (!ParseHexText(fields[1], value.m_name) ||
                !ParseNumber(fields[2], value.m_type, 10) || !ParseHex(fields[3], value.m_data) ||
                FindValue(*current, value.m_name) != nullptr)
                return false;
            current->m_values.push_back(std::move(value));
        } else {
            return false;
        }
    }
    return true;
}

// Reads the store; a missing, unreadable, oversized or damaged file gives an empty store.
void LoadStore(SStore& store) {
    std::string path = DirectoryBytes() + "/registry";
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return;
    std::string text;
    char buffer[16384];
    bool ok = true;
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || text.size() + static_cast<size_t>(got) > kMaxStoreBytes) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    if (ok && !ParseStore(text, store))
        store = SStore();
}

void SerializeKey(std::string& out, int root, const CString& path, const SKey& key) {
    out += "k " + std::to_string(root) + ' ';
    AppendHexText(out, path);
    out.push_back('\n');
    for (const SValue& value : key.m_values) {
        out += "v ";
        AppendHexText(out, value.m_name);
        out += ' ' + std::to_string(value.m_type) + ' ';
        AppendHex(out, value.m_data.data(), value.m_data.size());
        out.push_back('\n');
    }
    for (const auto& child : key.m_children)
        SerializeKey(out, root, path.empty() ? child->m_name : path + L'\\' + child->m_name,
                     *child);
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t put = write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

// Writes the store to a temporary file beside it and renames that over the store, so a reader
// (or the next start after a crash) sees either the old file or the new one, never a mixture.
DWORD SaveStore(const SStore& store, const std::string& dir) {
    std::string text = kHeader;
    for (int root = 0; root < kRootCount; ++root)
        SerializeKey(text, root, CString(), store.m_roots[root]);
    char sum[16];
    std::snprintf(sum, sizeof(sum), "%08x",
                  static_cast<unsigned>(TextSum(text.data(), text.size())));
    text += std::string("sum ") + sum + '\n';

    std::string temp = dir + "/registry.tmp";
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return kRegErrorAccessDenied;
    // The file may have been left by a crash with other permissions; ours are owner-only.
    bool ok = fchmod(fd, 0600) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok) {
        unlink(temp.c_str());
        return kRegErrorWriteFault;
    }
    if (g_crashBeforeRename.load() != 0)
        return kRegErrorWriteFault;
    if (rename(temp.c_str(), (dir + "/registry").c_str()) != 0) {
        unlink(temp.c_str());
        return kRegErrorWriteFault;
    }
    int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return 0;
}

// Holds the store's lock file for one read-modify-write, so two processes saving at once do not
// lose each other's changes.
class CStoreWriteLock {
public:
    CStoreWriteLock() = default;
    ~CStoreWriteLock() {
        if (m_fd >= 0)
            close(m_fd); // releases the lock
    }
    CStoreWriteLock(const CStoreWriteLock&) = delete;
    CStoreWriteLock& operator=(const CStoreWriteLock&) = delete;

    void Lock(const std::string& dir) {
        m_fd =
            open((dir + "/registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_fd >= 0)
            while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
    }

private:
    int m_fd = -1;
};

std::mutex& ProcessWriteLock() {
    static std::mutex lock;
    return lock;
}

// Reads the store and finds the key at root/path in it.
DWORD ReadKey(SStore& store, ERegRoot root, const std::vector<CString>& path, SKey*& key) {
    LoadStore(store);
    key = FindKey(store, root, path);
    return key == nullptr ? kRegErrorKeyDeleted : 0;
}

// One change to the store: both write locks are held from before the store is read until it has
// been saved, so two writers (threads or processes) never lose each other's change.
class CStoreChange {
public:
    CStoreChange() : m_dir(DirectoryBytes()), m_process(ProcessWriteLock(), std::defer_lock) {}

    // The key at root/path in the store as read under the locks, or an error code.
    DWORD Begin(ERegRoot root, const std::vector<CString>& path, SKey*& key) {
        key = nullptr;
        if (m_dir.empty() || !MakeDirectories(m_dir))
            return kRegErrorAccessDenied;
        m_process.lock();
        m_file.Lock(m_dir);
        return ReadKey(m_store, root, path, key);
    }
    DWORD Save() { return SaveStore(m_store, m_dir); }

private:
    std::string m_dir;
    std::unique_lock<std::mutex> m_process;
    CStoreWriteLock m_file;
    SStore m_store;
};

// ---- handles ----

bool IsRoot(HKEY key) {
    std::uintptr_t value = reinterpret_cast<std::uintptr_t>(key);
    return value >= 0x80000000u && value < 0x80000000u + kRootCount;
}

// The root and path a handle names; false for a handle that is neither a root nor open.
bool Resolve(HKEY key, ERegRoot& root, std::vector<CString>& path, REGSAM& access) {
    if (IsRoot(key)) {
        root = static_cast<ERegRoot>(reinterpret_cast<std::uintptr_t>(key) - 0x80000000u);
        path.clear();
        access = 0xFFFFFFFF;
        return true;
    }
    std::lock_guard<std::mutex> guard(g_handlesLock);
    if (key == nullptr || g_handles.count(key) == 0)
        return false;
    root = key->m_root;
    path = key->m_path;
    access = key->m_access;
    return true;
}

HKEY NewHandle(ERegRoot root, std::vector<CString> path, REGSAM access) {
    HKEY key = new HKEY__{root, std::move(path), access};
    std::lock_guard<std::mutex> guard(g_handlesLock);
    g_handles.insert(key);
    return key;
}

} // namespace

HKEY PlatformRegRootKey(ERegRoot root) {
    return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u + root));
}

DWORD PlatformRegOpenKey(HKEY parent, LPCWSTR subKey, REGSAM access, HKEY* result) {
    ERegRoot root;
    std::vector<CString> path;
    REGSAM parentAccess;
    if (result == nullptr)
        return kRegErrorInvalidParameter;
    if (!Resolve(parent, root, path, parentAccess))
        return kRegErrorInvalidHandle;
    SStore store;
    SKey* key = nullptr;
    if (DWORD error = ReadKey(store, root, path, key))
        return error;
    for (const CString& name : SplitSubKey(subKey)) {
        key = FindChild(*key, name);
        if (key == nullptr)
            return kRegErrorFileNotFound;
        path.push_back(key->m_name);
    }
    *result = NewHandle(root, std::move(path), access);
    return 0;
}

DWORD PlatformRegCreateKey(HKEY parent, LPCWSTR subKey, REGSAM access, HKEY* result,
                           DWORD* disposition) {
    ERegRoot root;
    std::vector<CString> path;
    REGSAM parentAccess;
    if (result == nullptr)
        return kRegErrorInvalidParameter;
    if (!Resolve(parent, root, path, parentAccess))
        return kRegErrorInvalidHandle;
    CStoreChange change;
    SKey* key = nullptr;
    if (DWORD error = change.Begin(root, path, key))
        return error;
    bool created = false;
    for (const CString& name : SplitSubKey(subKey)) {
        SKey* child = FindChild(*key, name);
        if (child == nullptr) {
            if ((parentAccess & kRegCreateSubKey) == 0)
                return kRegErrorAccessDenied;
            key->m_children.push_back(std::make_unique<SKey>());
            child = key->m_children.back().get();
            child->m_name = name;
            created = true;
        }
        key = child;
        path.push_back(key->m_name);
    }
    if (created) {
        if (DWORD error = change.Save())
            return error;
    }
    if (disposition != nullptr)
        *disposition = created ? kRegCreatedNewKey : kRegOpenedExistingKey;
    *result = NewHandle(root, std::move(path), access);
    return 0;
}

DWORD PlatformRegQueryValue(HKEY handle, LPCWSTR name, DWORD* type, BYTE* data, DWORD* size) {
    ERegRoot root;
    std::vector<CString> path;
    REGSAM access;
    if (!Resolve(handle, root, path, access))
        return kRegErrorInvalidHandle;
    if ((access & kRegQueryValue) == 0)
        return kRegErrorAccessDenied;
    if (data != nullptr && size == nullptr)
        return kRegErrorInvalidParameter;
    SStore store;
    SKey* key = nullptr;
    if (DWORD error = ReadKey(store, root, path, key))
        return error;
    SValue* value = FindValue(*key, name != nullptr ? CString(name) : CString());
    if (value == nullptr)
        return kRegErrorFileNotFound;
    if (type != nullptr)
        *type = value->m_type;
    DWORD needed = static_cast<DWORD>(value->m_data.size());
    if (size == nullptr)
        return 0;
    if (data != nullptr && *size < needed) {
        *size = needed;
        return kRegErrorMoreData;
    }
    if (data != nullptr && needed != 0)
        std::memcpy(data, value->m_data.data(), needed);
    *size = needed;
    return 0;
}

DWORD PlatformRegSetValue(HKEY handle, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) {
    ERegRoot root;
    std::vector<CString> path;
    REGSAM access;
    if (!Resolve(handle, root, path, access))
        return kRegErrorInvalidHandle;
    if ((access & kRegSetValue) == 0)
        return kRegErrorAccessDenied;
    if (data == nullptr && size != 0)
        return kRegErrorInvalidParameter;
    CStoreChange change;
    SKey* key = nullptr;
    if (DWORD error = change.Begin(root, path, key))
        return error;
    CString valueName = name != nullptr ? CString(name) : CString();
    SValue* value = FindValue(*key, valueName);
    if (value == nullptr) {
        key->m_values.push_back(SValue());
        value = &key->m_values.back();
        value->m_name = valueName;
    }
    value->m_type = type;
    value->m_data.assign(data, data + size);
    return change.Save();
}

DWORD PlatformRegCloseKey(HKEY key) {
    if (IsRoot(key))
        return 0;
    {
        std::lock_guard<std::mutex> guard(g_handlesLock);
        if (key == nullptr || g_handles.erase(key) == 0)
            return kRegErrorInvalidHandle;
    }
    delete key;
    return 0;
}

CString PlatformRegistryStorePath() {
    CString dir = ConfigDirectory();
    return dir.empty() ? dir : dir + L"/registry";
}

BOOL PlatformRegistrySimulateCrashBeforeRename(BOOL enable) {
    g_crashBeforeRename.store(enable ? 1 : 0);
    return TRUE;
}
