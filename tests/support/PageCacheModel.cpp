#include "tests/support/PageCacheModel.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <stdexcept>

#include "archive/os/SystemCalls.h"

namespace xcr::test {

namespace fs = std::filesystem;

namespace {

// What a disk writes whole or not at all.
constexpr std::int64_t kSector = 512;

// One change the kernel holds until a flush, or a flush.
struct Change {
    enum Kind { Write, Truncate, Flush, Name } kind;
    std::uint64_t call = 0;
    int node = 0;
    std::int64_t at = 0;  // where a write goes, or the length a truncation leaves
    Bytes bytes{};        // what a write puts there, or the whole file a flush found
    // A name change in the folder `node`: `from` goes (unless empty), `to` leads to `target`
    // (unless empty).
    std::string from{};
    std::string to{};
    int target = -1;
};

struct Node {
    bool folder = false;
    Bytes bytes;
    std::map<std::string, int> names;
};

Change nameChange(std::uint64_t call, int folder, std::string from, std::string to,
                  int target = -1) {
    return {Change::Name, call, folder, 0, {}, std::move(from), std::move(to), target};
}

void applyName(Node& folder, const Change& change) {
    if (!change.from.empty()) {
        folder.names.erase(change.from);
    }
    if (!change.to.empty() && change.target >= 0) {
        folder.names[change.to] = change.target;
    }
}

// The bytes of the file at `path`, read in one go.
Bytes bytesAt(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    Bytes bytes(fd >= 0 && ::fstat(fd, &info) == 0 ? static_cast<std::size_t>(info.st_size) : 0);
    const bool read =
        fd >= 0 && ::pread(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
    if (fd >= 0) {
        ::close(fd);
    }
    if (!read) {
        throw std::runtime_error("cannot read " + path);
    }
    return bytes;
}

// Puts `bytes` in the file at `path` in place. A file already holding them is left alone,
// and none is emptied first: ext4 writes a file that was emptied and refilled out to the
// disk when it is closed, which would make the tests wait for the disk.
void putBytes(const std::string& path, const Bytes& bytes) {
    if (fs::is_regular_file(path) && bytesAt(path) == bytes) {
        return;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const bool put =
        fd >= 0 &&
        ::pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()) &&
        ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    if (!put) {
        throw std::runtime_error("cannot write " + path);
    }
}

Bytes contentOf(int fd) {
    return bytesAt("/proc/self/fd/" + std::to_string(fd));
}

std::string nameOf(int fd) {
    const std::string path = fs::read_symlink("/proc/self/fd/" + std::to_string(fd)).string();
    return path.substr(path.rfind('/') + 1);
}

// Passes every call on to the system and logs what it changes under the roots, by inode,
// with every flush; then tells what the disk holds after a power cut at any point. For one
// thread at a time.
class PageCache : public SystemCalls {
public:
    explicit PageCache(const std::vector<std::string>& roots) : roots_(roots) {
        for (const std::string& root : roots) {
            rootNodes_.push_back(adopt(root));
        }
        replaced_ = useSystemCalls(this);
    }
    ~PageCache() override { stop(); }

    // Puts back the calls it took the place of.
    void stop() {
        if (&systemCalls() == this) {
            useSystemCalls(replaced_);
        }
    }

    std::uint64_t calls() const { return described_.size(); }
    const std::string& described(std::uint64_t call) const { return described_[call - 1]; }
    Tree crashAfter(std::uint64_t call, unsigned seed) const;

    int openat(int folder, const char* name, int flags, mode_t mode) override {
        struct stat info {};
        const bool made = (flags & O_CREAT) && ::fstatat(folder, name, &info, 0) != 0;
        const int fd = SystemCalls::openat(folder, name, flags, mode);
        std::string base;
        const int in = fd >= 0 && made ? folderOf(folder, name, base) : -1;
        if (in >= 0 && ::fstat(fd, &info) == 0) {
            log(fd, "create", nameChange(0, in, {}, base, born(info, false)));
        }
        if (fd >= 0 && (flags & O_TRUNC) && nodeOf(fd) >= 0) {
            log(fd, "truncate", {Change::Truncate, 0, nodeOf(fd)});
        }
        return fd;
    }
    ssize_t pwrite(int fd, const void* from, size_t size, off_t at) override {
        const ssize_t put = SystemCalls::pwrite(fd, from, size, at);
        if (put > 0 && nodeOf(fd) >= 0) {
            const auto* bytes = static_cast<const unsigned char*>(from);
            log(fd, "pwrite", {Change::Write, 0, nodeOf(fd), at, Bytes(bytes, bytes + put)});
        }
        return put;
    }
    ssize_t copyFileRange(int from, off_t* fromAt, int to, off_t* toAt, size_t size) override {
        const off_t at = toAt != nullptr ? *toAt : ::lseek(to, 0, SEEK_CUR);
        const ssize_t copied = SystemCalls::copyFileRange(from, fromAt, to, toAt, size);
        if (copied > 0 && nodeOf(to) >= 0) {
            const Bytes now = contentOf(to);
            log(to, "copy_file_range",
                {Change::Write, 0, nodeOf(to), at,
                 Bytes(now.begin() + at, now.begin() + at + copied)});
        }
        return copied;
    }
    int ftruncate(int fd, off_t length) override {
        const int done = SystemCalls::ftruncate(fd, length);
        if (done == 0 && nodeOf(fd) >= 0) {
            log(fd, "ftruncate", {Change::Truncate, 0, nodeOf(fd), length});
        }
        return done;
    }
    // Not passed on: what a flush makes last is the model's to say.
    int fsync(int fd) override {
        const int node = nodeOf(fd);
        if (node < 0) {
            return SystemCalls::fsync(fd);
        }
        log(fd, "fsync",
            {Change::Flush, 0, node, 0, nodes_[node].folder ? Bytes{} : contentOf(fd)});
        return 0;
    }
    int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                  unsigned flags) override {
        struct stat moved {};
        const bool known = ::fstatat(fromFolder, from, &moved, AT_SYMLINK_NOFOLLOW) == 0;
        const int done = SystemCalls::renameat2(fromFolder, from, toFolder, to, flags);
        std::string fromName;
        std::string toName;
        const int source = folderOf(fromFolder, from, fromName);
        const int target = folderOf(toFolder, to, toName);
        const auto node = known ? ids_.find({moved.st_dev, moved.st_ino}) : ids_.end();
        if (done != 0 || node == ids_.end() || (source < 0 && target < 0)) {
            return done;
        }
        // Within one folder a rename is one change; across two, one in each.
        const std::uint64_t call = number("rename " + fromName + " to " + toName);
        if (source >= 0) {
            changes_.push_back(
                nameChange(call, source, fromName, source == target ? toName : "", node->second));
        }
        if (target >= 0 && target != source) {
            changes_.push_back(nameChange(call, target, {}, toName, node->second));
        }
        return done;
    }
    int unlinkat(int folder, const char* name, int flags) override {
        const int done = SystemCalls::unlinkat(folder, name, flags);
        std::string base;
        const int in = done == 0 ? folderOf(folder, name, base) : -1;
        if (in >= 0) {
            changes_.push_back(nameChange(number("unlink " + base), in, base, {}));
        }
        return done;
    }
    int mkdirat(int folder, const char* name, mode_t mode) override {
        const int done = SystemCalls::mkdirat(folder, name, mode);
        std::string base;
        const int in = done == 0 ? folderOf(folder, name, base) : -1;
        struct stat info {};
        if (in >= 0 && ::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
            changes_.push_back(nameChange(number("mkdir " + base), in, {}, base, born(info, true)));
        }
        return done;
    }

private:
    // Takes in what lies at `path` as it is before the work, and returns its node.
    int adopt(const std::string& path) {
        struct stat info {};
        ::lstat(path.c_str(), &info);
        Node node{S_ISDIR(info.st_mode), {}, {}};
        if (!node.folder) {
            node.bytes = bytesAt(path);
        }
        for (const auto& entry :
             node.folder ? fs::directory_iterator(path) : fs::directory_iterator()) {
            const auto kind = entry.symlink_status().type();
            if (kind == fs::file_type::directory || kind == fs::file_type::regular) {
                node.names[entry.path().filename().string()] = adopt(entry.path().string());
            }
        }
        const int id = born(info, node.folder);
        nodes_[id] = std::move(node);
        return id;
    }

    // A new node for the inode `info` gives: a deleted file's inode may be taken again.
    int born(const struct stat& info, bool folder) {
        ids_[{info.st_dev, info.st_ino}] = static_cast<int>(nodes_.size());
        nodes_.push_back({folder, {}, {}});
        return static_cast<int>(nodes_.size()) - 1;
    }

    int nodeOf(int fd) const {
        struct stat info {};
        const auto found =
            ::fstat(fd, &info) == 0 ? ids_.find({info.st_dev, info.st_ino}) : ids_.end();
        return found == ids_.end() ? -1 : found->second;
    }

    // The folder that `path` (relative to the folder open as `folder`) lies in, and its
    // name there.
    int folderOf(int folder, const std::string& path, std::string& name) const {
        const auto cut = path.rfind('/');
        name = path.substr(cut == std::string::npos ? 0 : cut + 1);
        const std::string parent =
            cut == std::string::npos ? "." : (cut == 0 ? "/" : path.substr(0, cut));
        struct stat info {};
        const auto found = ::fstatat(folder, parent.c_str(), &info, 0) == 0
                               ? ids_.find({info.st_dev, info.st_ino})
                               : ids_.end();
        return found == ids_.end() || !nodes_[found->second].folder ? -1 : found->second;
    }

    std::uint64_t number(std::string what) {
        described_.push_back(std::move(what));
        return described_.size();
    }
    void log(int fd, const char* function, Change change) {
        change.call = number(std::string(function) + " " + nameOf(fd));
        changes_.push_back(std::move(change));
    }

    void walk(const std::vector<Node>& disk, int node, const std::string& path, Tree& tree) const {
        if (!disk[node].folder) {
            tree[path] = disk[node].bytes;
            return;
        }
        tree[path] = std::nullopt;
        for (const auto& [name, child] : disk[node].names) {
            walk(disk, child, path + "/" + name, tree);
        }
    }

    SystemCalls* replaced_ = nullptr;
    std::vector<std::string> roots_;
    std::vector<int> rootNodes_;
    std::vector<Node> nodes_;  // as they were before the work, or empty when it made them
    std::map<std::pair<dev_t, ino_t>, int> ids_;
    std::vector<Change> changes_;
    std::vector<std::string> described_;  // each numbered call
};

// Seed 0 keeps nothing unflushed, 1 everything; others choose at random, sector by sector
// and of each folder's changes how many first ones.
Tree PageCache::crashAfter(std::uint64_t call, unsigned seed) const {
    std::mt19937_64 random(seed * 1000003 + call);
    const auto kept = [&] { return seed == 1 || (seed > 1 && random() % 2 == 0); };
    std::vector<Node> disk = nodes_;
    std::vector<std::vector<const Change*>> pending(nodes_.size());
    for (const Change& change : changes_) {
        if (change.call > call) {
            break;
        }
        Node& node = disk[change.node];
        if (change.kind != Change::Flush) {
            pending[change.node].push_back(&change);
            continue;
        }
        if (node.folder) {
            for (const Change* before : pending[change.node]) {
                applyName(node, *before);
            }
        } else {
            node.bytes = change.bytes;
        }
        pending[change.node].clear();
    }
    for (std::size_t n = 0; n < disk.size(); ++n) {
        const std::vector<const Change*>& since = pending[n];
        if (disk[n].folder) {
            const std::size_t first = seed == 0   ? 0
                                      : seed == 1 ? since.size()
                                                  : random() % (since.size() + 1);
            for (std::size_t i = 0; i < first; ++i) {
                applyName(disk[n], *since[i]);
            }
            continue;
        }
        Bytes& bytes = disk[n].bytes;
        for (const Change* change : since) {
            if (change->kind == Change::Truncate && kept()) {
                bytes.resize(static_cast<std::size_t>(change->at));
            }
            const std::int64_t end = change->at + static_cast<std::int64_t>(change->bytes.size());
            for (std::int64_t at = change->at; change->kind == Change::Write && at < end;) {
                const std::int64_t stop = std::min(end, (at / kSector + 1) * kSector);
                if (kept()) {
                    bytes.resize(std::max(bytes.size(), static_cast<std::size_t>(stop)));
                    std::copy(change->bytes.begin() + (at - change->at),
                              change->bytes.begin() + (stop - change->at), bytes.begin() + at);
                }
                at = stop;
            }
        }
    }
    Tree tree;
    for (std::size_t r = 0; r < roots_.size(); ++r) {
        walk(disk, rootNodes_[r], roots_[r], tree);
    }
    return tree;
}

// What lies under each of `roots`, each read at `under` + its path.
Tree readTree(const std::vector<std::string>& roots, const std::string& under) {
    Tree tree;
    for (const std::string& root : roots) {
        tree[root] = std::nullopt;
        for (const auto& entry : fs::recursive_directory_iterator(under + root)) {
            const std::string path = entry.path().string().substr(under.size());
            if (entry.is_directory()) {
                tree[path] = std::nullopt;
            } else if (entry.is_regular_file()) {
                tree[path] = bytesAt(entry.path().string());
            }
        }
    }
    return tree;
}

// Runs `work` under the model; each different state once, in the order of its first call.
std::vector<PowerCut> cutsOf(const std::vector<std::string>& roots,
                             const std::function<void()>& work) {
    PageCache cache(roots);
    try {
        work();
    } catch (...) {
        // What the work leaves is what counts.
    }
    cache.stop();
    std::map<Tree, std::size_t> seen;
    std::vector<PowerCut> cuts;
    for (std::uint64_t call = 0; call <= cache.calls(); ++call) {
        for (unsigned seed = 0; seed < 4; ++seed) {
            Tree tree = cache.crashAfter(call, seed);
            const auto [found, fresh] = seen.try_emplace(tree, cuts.size());
            if (fresh) {
                cuts.push_back({(call == 0 ? "before the first call"
                                           : "after call " + std::to_string(call) + " (" +
                                                 cache.described(call) + ")") +
                                    ", seed " + std::to_string(seed),
                                false, std::move(tree)});
            }
            cuts[found->second].afterEnd |= call == cache.calls();
        }
    }
    return cuts;
}

}  // namespace

void writeTree(const Tree& tree, const std::vector<std::string>& roots, const std::string& under) {
    for (const std::string& root : roots) {
        fs::create_directories(under + root);
        std::vector<fs::path> gone;
        for (auto entry = fs::recursive_directory_iterator(under + root);
             entry != fs::recursive_directory_iterator(); ++entry) {
            const auto kept = tree.find(entry->path().string().substr(under.size()));
            if (kept == tree.end() || kept->second.has_value() != entry->is_regular_file()) {
                gone.push_back(entry->path());
                entry.disable_recursion_pending();
            }
        }
        for (const fs::path& path : gone) {
            fs::remove_all(path);
        }
    }
    for (const auto& [path, bytes] : tree) {
        if (bytes) {
            putBytes(under + path, *bytes);
        } else {
            fs::create_directories(under + path);
        }
    }
}

std::vector<PowerCut> powerCutsOf(const std::vector<std::string>& roots,
                                  const std::function<void()>& work, bool ownProcess) {
    if (!ownProcess) {
        return cutsOf(roots, work);
    }
    // Each state goes back to this process as a copy of its folders under `out`.
    TempDir out;
    const pid_t child = ::fork();
    if (child == 0) {
        int failed = 0;
        try {
            const std::vector<PowerCut> cuts = cutsOf(roots, work);
            for (std::size_t n = 0; n < cuts.size(); ++n) {
                const std::string folder = out.file(std::to_string(n));
                writeTree(cuts[n].tree, roots, folder);
                writeFileBytes(folder + "/when", bytesOf(cuts[n].when));
                if (cuts[n].afterEnd) {
                    writeFileBytes(folder + "/end", {});
                }
            }
        } catch (...) {
            failed = 1;
        }
        ::_exit(failed);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the power cuts could not be worked out");
    }
    std::vector<PowerCut> cuts;
    for (std::size_t n = 0; fs::exists(out.file(std::to_string(n))); ++n) {
        const std::string folder = out.file(std::to_string(n));
        const Bytes when = bytesAt(folder + "/when");
        cuts.push_back({std::string(when.begin(), when.end()), fs::exists(folder + "/end"),
                        readTree(roots, folder)});
    }
    return cuts;
}

}  // namespace xcr::test
