#define FUSE_USE_VERSION 34
#include "support/FuseHidrawServer.h"

#include <fcntl.h>
#include <fuse_lowlevel.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "sim/ReportQueue.h"
#include "sim/VirtualDevice.h"

namespace kx520::test {

namespace {

constexpr fuse_ino_t kFirstNodeIno = 2;

}  // namespace

struct FuseHidrawServer::Impl {
    struct Node {
        fuse_ino_t ino = 0;
        std::shared_ptr<sim::VirtualDevice> device;
        uint8_t interfaceNumber = 0;
        bool present = true;
        bool denyOpen = false;
        int opens = 0;
    };

    struct OpenFile {
        std::shared_ptr<sim::VirtualDevice> device;
        uint8_t interfaceNumber = 0;
        std::shared_ptr<sim::ReportQueue> queue;
        fuse_req_t parkedRead = nullptr;
        size_t parkedSize = 0;
        fuse_pollhandle* pollHandle = nullptr;
    };

    mutable std::mutex lock;
    std::map<std::string, Node> nodes;
    std::map<uint64_t, std::shared_ptr<OpenFile>> files;
    uint64_t nextFile = 1;
    fuse_ino_t nextIno = kFirstNodeIno;
    fuse_session* session = nullptr;
    std::thread loop;
    bool mounted = false;
    std::string mountPoint;

    Node* NodeByIno(fuse_ino_t ino) {
        for (auto& [name, node] : nodes) {
            if (node.ino == ino && node.present) {
                return &node;
            }
        }
        return nullptr;
    }

    std::shared_ptr<OpenFile> File(uint64_t fh) {
        std::lock_guard guard(lock);
        const auto it = files.find(fh);
        return it == files.end() ? nullptr : it->second;
    }

    static struct stat NodeStat(fuse_ino_t ino) {
        struct stat st {};
        st.st_ino = ino;
        st.st_mode = ino == FUSE_ROOT_ID ? (S_IFDIR | 0755) : (S_IFREG | 0666);
        st.st_nlink = 1;
        return st;
    }

    // A report arrived or the device went away: answer a parked read and
    // wake pollers.
    void Wake(const std::shared_ptr<OpenFile>& file) {
        fuse_req_t read = nullptr;
        size_t size = 0;
        fuse_pollhandle* poll = nullptr;
        std::vector<uint8_t> report;
        bool failed = false;
        {
            std::lock_guard guard(lock);
            if (file->parkedRead != nullptr) {
                if (file->queue->TryPop(report)) {
                    read = file->parkedRead;
                } else if (file->queue->Closed()) {
                    read = file->parkedRead;
                    failed = true;
                }
                if (read != nullptr) {
                    size = file->parkedSize;
                    file->parkedRead = nullptr;
                }
            }
            poll = file->pollHandle;
        }
        if (read != nullptr) {
            if (failed) {
                fuse_reply_err(read, ENODEV);
            } else {
                fuse_reply_buf(read, reinterpret_cast<const char*>(report.data()),
                               std::min(size, report.size()));
            }
        }
        if (poll != nullptr) {
            fuse_lowlevel_notify_poll(poll);
        }
    }
};

namespace {

FuseHidrawServer::Impl* ImplOf(fuse_req_t req) {
    return static_cast<FuseHidrawServer::Impl*>(fuse_req_userdata(req));
}

void OnLookup(fuse_req_t req, fuse_ino_t parent, const char* name) {
    auto* impl = ImplOf(req);
    fuse_entry_param entry{};
    {
        std::lock_guard guard(impl->lock);
        const auto it = impl->nodes.find(name);
        if (parent != FUSE_ROOT_ID || it == impl->nodes.end() || !it->second.present) {
            fuse_reply_err(req, ENOENT);
            return;
        }
        entry.ino = it->second.ino;
    }
    entry.attr = FuseHidrawServer::Impl::NodeStat(entry.ino);
    // No caching: a removed node must vanish at once, as in /dev.
    entry.attr_timeout = 0;
    entry.entry_timeout = 0;
    fuse_reply_entry(req, &entry);
}

void OnGetattr(fuse_req_t req, fuse_ino_t ino, fuse_file_info*) {
    auto* impl = ImplOf(req);
    bool known = ino == FUSE_ROOT_ID;
    {
        std::lock_guard guard(impl->lock);
        known = known || impl->NodeByIno(ino) != nullptr;
    }
    if (!known) {
        fuse_reply_err(req, ENOENT);
        return;
    }
    const struct stat st = FuseHidrawServer::Impl::NodeStat(ino);
    fuse_reply_attr(req, &st, 0);
}

void OnOpen(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi) {
    auto* impl = ImplOf(req);
    auto file = std::make_shared<FuseHidrawServer::Impl::OpenFile>();
    uint64_t fh = 0;
    {
        std::lock_guard guard(impl->lock);
        FuseHidrawServer::Impl::Node* node = impl->NodeByIno(ino);
        if (node == nullptr) {
            fuse_reply_err(req, ENOENT);
            return;
        }
        ++node->opens;
        if (node->denyOpen) {
            fuse_reply_err(req, EACCES);
            return;
        }
        file->device = node->device;
        file->interfaceNumber = node->interfaceNumber;
        file->queue = node->device->Subscribe(node->interfaceNumber);
        if (!file->queue) {
            fuse_reply_err(req, ENODEV);
            return;
        }
        fh = impl->nextFile++;
        impl->files[fh] = file;
    }
    std::weak_ptr<FuseHidrawServer::Impl::OpenFile> weak = file;
    file->queue->SetListener([impl, weak] {
        if (auto alive = weak.lock()) {
            impl->Wake(alive);
        }
    });
    fi->fh = fh;
    fi->direct_io = 1;  // without it reads return 0
    fi->nonseekable = 1;
    fuse_reply_open(req, fi);
}

void OnRead(fuse_req_t req, fuse_ino_t, size_t size, off_t, fuse_file_info* fi) {
    auto* impl = ImplOf(req);
    const auto file = impl->File(fi->fh);
    if (!file) {
        fuse_reply_err(req, EBADF);
        return;
    }
    std::vector<uint8_t> report;
    if (file->queue->TryPop(report)) {
        fuse_reply_buf(req, reinterpret_cast<const char*>(report.data()),
                       std::min(size, report.size()));
        return;
    }
    if (file->queue->Closed()) {
        fuse_reply_err(req, ENODEV);
        return;
    }
    if ((fi->flags & O_NONBLOCK) != 0) {
        fuse_reply_err(req, EAGAIN);
        return;
    }
    {
        std::lock_guard guard(impl->lock);
        file->parkedRead = req;
        file->parkedSize = size;
    }
    impl->Wake(file);  // a report may have come in meanwhile
}

void OnWrite(fuse_req_t req, fuse_ino_t, const char* buf, size_t size, off_t,
             fuse_file_info* fi) {
    auto* impl = ImplOf(req);
    const auto file = impl->File(fi->fh);
    if (!file) {
        fuse_reply_err(req, EBADF);
        return;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(buf);
    if (!file->device->ReceiveOutput(file->interfaceNumber, {bytes, size})) {
        fuse_reply_err(req, ENODEV);
        return;
    }
    fuse_reply_write(req, size);
}

void OnPoll(fuse_req_t req, fuse_ino_t, fuse_file_info* fi, fuse_pollhandle* ph) {
    auto* impl = ImplOf(req);
    const auto file = impl->File(fi->fh);
    if (!file) {
        if (ph != nullptr) {
            fuse_pollhandle_destroy(ph);
        }
        fuse_reply_err(req, EBADF);
        return;
    }
    if (ph != nullptr) {
        std::lock_guard guard(impl->lock);
        if (file->pollHandle != nullptr) {
            fuse_pollhandle_destroy(file->pollHandle);
        }
        file->pollHandle = ph;
    }
    unsigned events = POLLOUT | POLLWRNORM;
    if (!file->queue->Empty()) {
        events |= POLLIN | POLLRDNORM;
    }
    if (file->queue->Closed()) {
        events |= POLLHUP | POLLERR;
    }
    fuse_reply_poll(req, events);
}

void OnRelease(fuse_req_t req, fuse_ino_t, fuse_file_info* fi) {
    auto* impl = ImplOf(req);
    std::shared_ptr<FuseHidrawServer::Impl::OpenFile> file;
    {
        std::lock_guard guard(impl->lock);
        const auto it = impl->files.find(fi->fh);
        if (it != impl->files.end()) {
            file = it->second;
            impl->files.erase(it);
        }
    }
    if (file) {
        file->queue->SetListener(nullptr);
        file->device->Unsubscribe(file->queue);
        std::lock_guard guard(impl->lock);
        if (file->pollHandle != nullptr) {
            fuse_pollhandle_destroy(file->pollHandle);
            file->pollHandle = nullptr;
        }
    }
    fuse_reply_err(req, 0);
}

}  // namespace

FuseHidrawServer::FuseHidrawServer() : m_impl(std::make_unique<Impl>()) {}

FuseHidrawServer::~FuseHidrawServer() {
    Unmount();
}

std::string FuseHidrawServer::Unavailable() {
    if (::geteuid() != 0) {
        return "FUSE tests need root";
    }
    const int fd = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return std::string("/dev/fuse cannot be opened: ") + std::strerror(errno);
    }
    ::close(fd);
    return {};
}

bool FuseHidrawServer::Mount(const std::string& directory) {
    static fuse_lowlevel_ops ops = [] {
        fuse_lowlevel_ops o{};
        o.lookup = OnLookup;
        o.getattr = OnGetattr;
        o.open = OnOpen;
        o.read = OnRead;
        o.write = OnWrite;
        o.poll = OnPoll;
        o.release = OnRelease;
        return o;
    }();
    char program[] = "kx520-fuse-hidraw";
    char* argv[] = {program, nullptr};
    fuse_args args = FUSE_ARGS_INIT(1, argv);
    m_impl->session = fuse_session_new(&args, &ops, sizeof ops, m_impl.get());
    fuse_opt_free_args(&args);
    if (m_impl->session == nullptr) {
        return false;
    }
    if (fuse_session_mount(m_impl->session, directory.c_str()) != 0) {
        fuse_session_destroy(m_impl->session);
        m_impl->session = nullptr;
        return false;
    }
    m_impl->mounted = true;
    m_impl->mountPoint = directory;
    fuse_session* session = m_impl->session;
    m_impl->loop = std::thread([session] { fuse_session_loop(session); });
    return true;
}

void FuseHidrawServer::Unmount() {
    if (!m_impl->mounted) {
        return;
    }
    m_impl->mounted = false;
    {
        // Reports sent after this must not reach a session that is going away.
        std::lock_guard guard(m_impl->lock);
        for (auto& [fh, file] : m_impl->files) {
            file->queue->SetListener(nullptr);
        }
    }
    // Detaching the mount ends the kernel's side, which ends the loop's read
    // of /dev/fuse; only then may libfuse close the descriptor the loop uses.
    fuse_session_exit(m_impl->session);
    ::umount2(m_impl->mountPoint.c_str(), MNT_DETACH);
    if (m_impl->loop.joinable()) {
        m_impl->loop.join();
    }
    fuse_session_unmount(m_impl->session);
    // Releases still on their way when the session ended never come.
    for (auto& [fh, file] : m_impl->files) {
        if (file->pollHandle != nullptr) {
            fuse_pollhandle_destroy(file->pollHandle);
            file->pollHandle = nullptr;
        }
        file->device->Unsubscribe(file->queue);
    }
    m_impl->files.clear();
    fuse_session_destroy(m_impl->session);
    m_impl->session = nullptr;
}

void FuseHidrawServer::AddNode(const std::string& name, std::shared_ptr<sim::VirtualDevice> device,
                               uint8_t interfaceNumber) {
    std::lock_guard guard(m_impl->lock);
    Impl::Node& node = m_impl->nodes[name];
    node.ino = m_impl->nextIno++;
    node.device = std::move(device);
    node.interfaceNumber = interfaceNumber;
    node.present = true;
}

void FuseHidrawServer::RemoveNode(const std::string& name) {
    std::lock_guard guard(m_impl->lock);
    const auto it = m_impl->nodes.find(name);
    if (it != m_impl->nodes.end()) {
        it->second.present = false;
    }
}

void FuseHidrawServer::DenyOpen(const std::string& name, bool deny) {
    std::lock_guard guard(m_impl->lock);
    m_impl->nodes[name].denyOpen = deny;
}

int FuseHidrawServer::OpenCount(const std::string& name) const {
    std::lock_guard guard(m_impl->lock);
    const auto it = m_impl->nodes.find(name);
    return it == m_impl->nodes.end() ? 0 : it->second.opens;
}

}  // namespace kx520::test
