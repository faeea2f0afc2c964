#include "hid/HidrawBackend.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "hid/DevicePath.h"
#include "hid/HidReportDescriptor.h"
#include "hid/HidrawConnection.h"
#include "platform/DebugTrace.h"

namespace kx520::hid {

namespace {

// The kernel never hands out a longer descriptor (HID_MAX_DESCRIPTOR_SIZE).
constexpr size_t kMaxDescriptorSize = 4096;

std::string ReadText(const std::string& file) {
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    return text;
}

std::optional<uint32_t> ParseHex(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(text.c_str(), &end, 16);
    if (errno != 0 || end == text.c_str() || value > UINT32_MAX || text[0] == '-') {
        return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return {};
    }
    return resolved;
}

std::string Parent(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string BaseName(std::string_view path) {
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool IsHidrawName(std::string_view name) {
    constexpr std::string_view prefix = "hidraw";
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) {
        return false;
    }
    return std::all_of(name.begin() + prefix.size(), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// "hidraw2" before "hidraw10".
bool NodeOrder(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::string ReadUevent(const std::string& file) {
    // A uevent is a few hundred bytes; more is not a uevent.
    constexpr size_t kMaxUevent = 16384;
    std::ifstream in(file, std::ios::binary);
    std::string text(kMaxUevent, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

std::vector<uint8_t> ReadDescriptor(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes(kMaxDescriptorSize);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

HidError ErrorFromErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return HidError::AccessDenied;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return HidError::NotFound;
        default:
            return HidError::Failed;
    }
}

}  // namespace

// HID_ID=0003:0000320F:000050C2 from the HID device's uevent.
std::optional<HidrawBackend::HidId> HidrawBackend::ParseHidId(std::string_view uevent) {
    std::istringstream lines{std::string(uevent)};
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("HID_ID=", 0) != 0) {
            continue;
        }
        std::istringstream fields(line.substr(7));
        std::string b, v, p;
        if (!std::getline(fields, b, ':') || !std::getline(fields, v, ':') ||
            !std::getline(fields, p)) {
            return std::nullopt;
        }
        const auto bus = ParseHex(b);
        const auto vendor = ParseHex(v);
        const auto product = ParseHex(p);
        // Each field is at most 32 bits wide; the ids are the low 16.
        if (!bus || !vendor || !product) {
            return std::nullopt;
        }
        return HidId{static_cast<uint16_t>(*bus), static_cast<uint16_t>(*vendor),
                     static_cast<uint16_t>(*product)};
    }
    return std::nullopt;
}

HidrawBackend::HidrawBackend(std::string sysfsRoot, std::string devRoot)
    : m_sysfsRoot(std::move(sysfsRoot)), m_devRoot(std::move(devRoot)) {}

// The listener stays with the backend it was given to: a moved-from
// backend's monitor points at it.
HidrawBackend::HidrawBackend(HidrawBackend&& other) noexcept
    : m_sysfsRoot(std::move(other.m_sysfsRoot)), m_devRoot(std::move(other.m_devRoot)) {}

HidrawBackend::~HidrawBackend() {
    SetChangeListener(nullptr);
}

void HidrawBackend::SetChangeListener(std::function<void()> listener) {
    const bool listening = static_cast<bool>(listener);
    m_notifier.Set(std::move(listener));
    if (!listening) {
        m_monitor.reset();  // joins its thread: no call after this
        return;
    }
    // Events speak of the real machine: a fake sysfs tree only polls.
    if (m_monitor == nullptr && m_sysfsRoot == "/sys") {
        m_monitor = std::make_unique<UeventMonitor>([this] { m_notifier.Notify(); });
    }
}

HidrawBackend HidrawBackend::FromEnvironment() {
    const char* sysfs = std::getenv("KX520_SYSFS_ROOT");
    const char* dev = std::getenv("KX520_DEV_ROOT");
    return HidrawBackend(sysfs != nullptr && *sysfs != '\0' ? sysfs : "/sys",
                         dev != nullptr && *dev != '\0' ? dev : "/dev");
}

std::optional<HidrawBackend::NodeInfo> HidrawBackend::ReadNode(const std::string& name) const {
    if (!IsHidrawName(name)) {
        return std::nullopt;
    }
    const std::string hidDevice = RealPath(m_sysfsRoot + "/class/hidraw/" + name + "/device");
    if (hidDevice.empty()) {
        return std::nullopt;
    }
    NodeInfo info;
    info.name = name;
    info.devNode = m_devRoot + "/" + name;
    info.instance = BaseName(hidDevice);
    const auto id = ParseHidId(ReadUevent(hidDevice + "/uevent"));
    if (!id) {
        return std::nullopt;
    }
    info.bus = id->bus;
    info.attributes.vendorId = id->vendorId;
    info.attributes.productId = id->productId;
    info.descriptor = ReadDescriptor(hidDevice + "/report_descriptor");
    // USB HID devices sit under their USB interface, which sits under the
    // USB device; other buses have neither and read as 0.
    const std::string usbInterface = Parent(hidDevice);
    info.interfaceNumber =
        static_cast<uint16_t>(ParseHex(ReadText(usbInterface + "/bInterfaceNumber")).value_or(0));
    info.attributes.versionNumber = static_cast<uint16_t>(
        ParseHex(ReadText(Parent(usbInterface) + "/bcdDevice")).value_or(0));
    return info;
}

bool HidrawBackend::Enumerate(std::vector<std::string>& paths) {
    const std::string classDir = m_sysfsRoot + "/class/hidraw";
    DIR* dir = ::opendir(classDir.c_str());
    if (dir == nullptr) {
        // No hidraw class at all is a machine without HID devices.
        return errno == ENOENT || errno == ENOTDIR;
    }
    std::vector<ListedNode> listed;
    while (const dirent* entry = ::readdir(dir)) {
        if (IsHidrawName(entry->d_name)) {
            listed.push_back({entry->d_name, entry->d_ino});
        }
    }
    ::closedir(dir);
    std::sort(listed.begin(), listed.end(),
              [](const ListedNode& a, const ListedNode& b) { return NodeOrder(a.name, b.name); });
    std::lock_guard lock(m_cacheLock);
    std::map<std::string, CachedNode> seen;
    for (const ListedNode& entry : listed) {
        CachedNode node = TakeOrReadNode(entry);
        if (node.link.empty()) {
            continue;
        }
        paths.insert(paths.end(), node.paths.begin(), node.paths.end());
        seen.emplace(entry.name, std::move(node));
    }
    m_cache = std::move(seen);
    return true;
}

// A replugged node is a new sysfs entry with a new inode, so an entry whose
// inode is unchanged is the same node and needs no readlink; without an
// inode the link decides.
HidrawBackend::CachedNode HidrawBackend::TakeOrReadNode(const ListedNode& entry) {
    const auto cached = m_cache.find(entry.name);
    if (cached != m_cache.end() && entry.inode != 0 && cached->second.inode == entry.inode) {
        return std::move(cached->second);
    }
    std::string link = NodeLink(entry.name);
    if (link.empty()) {
        return {};
    }
    if (cached != m_cache.end() && cached->second.link == link) {
        CachedNode node = std::move(cached->second);
        node.inode = entry.inode;
        return node;
    }
    return CachedNode{std::move(link), entry.inode, PathsOfNode(entry.name)};
}

std::string HidrawBackend::NodeLink(const std::string& name) const {
    char target[PATH_MAX];
    const std::string link = m_sysfsRoot + "/class/hidraw/" + name;
    const ssize_t size = ::readlink(link.c_str(), target, sizeof target - 1);
    return size > 0 ? std::string(target, static_cast<size_t>(size)) : std::string();
}

// Empty for a node that cannot be used; it is looked at again only when its
// link changes.
std::vector<std::string> HidrawBackend::PathsOfNode(const std::string& name) const {
    std::vector<std::string> paths;
    const auto info = ReadNode(name);
    if (!info) {
        return paths;
    }
    std::string error;
    const auto descriptor = HidReportDescriptor::Parse(info->descriptor, &error);
    size_t collections = descriptor ? descriptor->Collections().size() : 0;
    if (!descriptor) {
        DebugTrace(name + ": report descriptor not usable: " + error);
        // Its paths are still listed, so that opening one says why it
        // cannot be used instead of the device looking absent.
        collections = HidReportDescriptor::CountTopLevelCollections(info->descriptor).value_or(0);
    }
    const DevicePathParts parts{info->devNode,          info->attributes.vendorId,
                                info->attributes.productId, info->interfaceNumber, 0,
                                info->instance};
    AppendCollectionPaths(parts, collections, paths);
    return paths;
}

std::string HidrawBackend::NodeName(const std::string& path) const {
    const std::string_view node = PathNode(path);
    const std::string prefix = m_devRoot + "/";
    if (node.size() <= prefix.size() || node.substr(0, prefix.size()) != prefix) {
        return {};
    }
    const std::string name(node.substr(prefix.size()));
    return IsHidrawName(name) ? name : std::string();
}

bool HidrawBackend::Owns(const std::string& path) const {
    return !NodeName(path).empty();
}

bool HidrawBackend::Probe(const std::string& path) {
    const std::string name = NodeName(path);
    if (name.empty()) {
        return false;
    }
    struct stat st {};
    if (::stat((m_devRoot + "/" + name).c_str(), &st) != 0) {
        return false;
    }
    // Node numbers are reused at once: the node must still be the same device.
    const std::string hidDevice = RealPath(m_sysfsRoot + "/class/hidraw/" + name + "/device");
    return !hidDevice.empty() && BaseName(hidDevice) == PathInstance(path);
}

HidOpenResult HidrawBackend::Open(const std::string& path, const HidOpenMode& mode) {
    const std::string name = NodeName(path);
    if (name.empty()) {
        return {nullptr, HidError::NotFound};
    }
    const auto info = ReadNode(name);
    if (!info || info->instance != PathInstance(path)) {
        return {nullptr, HidError::NotFound};
    }
    auto descriptor = HidReportDescriptor::Parse(info->descriptor);
    if (!descriptor) {
        return {nullptr, HidError::Unusable};
    }
    const auto collection = descriptor->CollectionIndex(PathCollectionNumber(path));
    if (!collection) {
        return {nullptr, HidError::NotFound};
    }
    int flags = O_CLOEXEC | O_NONBLOCK;
    flags |= mode.read && mode.write ? O_RDWR : (mode.write ? O_WRONLY : O_RDONLY);
    const int fd = ::open(info->devNode.c_str(), flags);
    if (fd < 0) {
        return {nullptr, ErrorFromErrno(errno)};
    }
    auto connection = std::make_shared<HidrawConnection>(
        fd, info->attributes,
        std::make_shared<const HidReportDescriptor>(std::move(*descriptor)),
        *collection);
    if (!connection->Valid()) {
        return {nullptr, HidError::Failed};
    }
    return {std::move(connection), HidError::None};
}

}  // namespace kx520::hid
