#include "report/output_file.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin {

namespace {

QString reason(int error)
{
    return qt_error_string(error);
}

QString local_name(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString folder_reason(const std::string &folder, int error)
{
    return QStringLiteral("the folder '%1' cannot be written: %2")
        .arg(local_name(folder), reason(error));
}

// Closes a descriptor when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes now and says whether the close succeeded.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 || errno == EINTR;
    }

private:
    int m_fd;
};

// Where a name leads, once its symbolic links are followed.
struct Target
{
    enum Kind { New, Existing, OpenDescriptor, Failed } kind = Failed;
    std::string folder; // the real folder of `path`
    std::string path;   // folder + "/" + name
    std::string name;
    struct stat status = {};
    int descriptor = -1;
    QString failure;
};

// The descriptor N of this process that `path` names as /proc/<this process,
// self or thread-self>/fd/N (what /dev/stdout and /dev/fd/N lead to), or -1.
int own_descriptor(const std::string &path)
{
    static const std::string proc = "/proc/";
    if (path.compare(0, proc.size(), proc) != 0)
        return -1;
    const std::size_t fd_at = path.rfind("/fd/");
    if (fd_at == std::string::npos)
        return -1;
    const std::string process = path.substr(proc.size(), fd_at - proc.size());
    const std::string own = std::to_string(::getpid());
    const bool ours = process == "self" || process == "thread-self" || process == own ||
                      process.compare(0, own.size() + 6, own + "/task/") == 0;
    const std::string number = path.substr(fd_at + 4);
    if (!ours || number.empty() || number.size() > 9 ||
        number.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::atoi(number.c_str());
}

Target resolve(std::string path)
{
    Target target;
    for (int links = 0; links <= 40; ++links) {
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        const std::size_t slash = path.rfind('/');
        std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
        if (folder.empty())
            folder = "/";
        std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (name.empty() || name == "." || name == "..") {
            // "/", "dir/." and the like name a folder, if anything.
            target.failure = reason(EISDIR);
            return target;
        }
        char real[PATH_MAX];
        if (!::realpath(folder.c_str(), real)) {
            target.failure = folder_reason(folder, errno);
            return target;
        }
        target.folder = real;
        target.name = name;
        target.path = (target.folder == "/" ? "" : target.folder) + "/" + name;
        target.descriptor = own_descriptor(target.path);
        if (target.descriptor >= 0) {
            target.kind = Target::OpenDescriptor;
            if (::fcntl(target.descriptor, F_GETFD) < 0) {
                target.kind = Target::Failed;
                target.failure = reason(errno);
            }
            return target;
        }
        if (::lstat(target.path.c_str(), &target.status) != 0) {
            target.kind = errno == ENOENT ? Target::New : Target::Failed;
            target.failure = reason(errno);
            return target;
        }
        if (!S_ISLNK(target.status.st_mode)) {
            target.kind = Target::Existing;
            return target;
        }
        char link[PATH_MAX];
        const ssize_t length = ::readlink(target.path.c_str(), link, sizeof link - 1);
        if (length < 0) {
            target.failure = reason(errno);
            return target;
        }
        link[length] = '\0';
        path = link[0] == '/' ? std::string(link) : target.folder + "/" + link;
    }
    target.kind = Target::Failed;
    target.failure = reason(ELOOP);
    return target;
}

QString write_all(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return reason(errno);
        }
        if (written == 0)
            return reason(EIO);
        data += written;
        size -= std::size_t(written);
    }
    return QString();
}

// The temporary file of a named write: ".NAME.PID.pelorin-tmp", the name cut
// so that the whole stays within the folder's limit.
const std::string temporary_suffix = ".pelorin-tmp";

std::string temporary_prefix(const std::string &name)
{
    return "." + name.substr(0, 180) + ".";
}

// Removes the temporary files of `name` that processes which no longer run
// left in the folder.
void remove_stale_temporaries(const std::string &folder, const std::string &name)
{
    DIR *directory = ::opendir(folder.c_str());
    if (!directory)
        return;
    const std::string prefix = temporary_prefix(name);
    while (const dirent *entry = ::readdir(directory)) {
        const std::string file = entry->d_name;
        if (file.size() <= prefix.size() + temporary_suffix.size() ||
            file.compare(0, prefix.size(), prefix) != 0 ||
            file.compare(file.size() - temporary_suffix.size(), temporary_suffix.size(),
                         temporary_suffix) != 0)
            continue;
        const std::string pid =
            file.substr(prefix.size(), file.size() - prefix.size() - temporary_suffix.size());
        if (pid.size() > 9 || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const pid_t owner = pid_t(std::atoi(pid.c_str()));
        if (owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH)
            continue;
        const std::string path = folder + "/" + file;
        struct stat status;
        if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            ::unlink(path.c_str());
    }
    ::closedir(directory);
}

// Writes a new file and renames it over the target.
QString replace_file(const Target &target, const QByteArray &bytes)
{
    const mode_t mode = target.kind == Target::Existing ? target.status.st_mode & 07777 : 0666;
    remove_stale_temporaries(target.folder, target.name);

    const std::string named = target.folder + "/" + temporary_prefix(target.name) +
                              std::to_string(::getpid()) + temporary_suffix;
    // Unnamed until complete where the file system can.
    Descriptor file(::open(target.folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    const bool unnamed = file.get() >= 0;
    if (!unnamed) {
        ::unlink(named.c_str());
        file.reset(
            ::open(named.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, mode));
        if (file.get() < 0)
            return folder_reason(target.folder, errno);
    }
    bool linked = !unnamed;
    const auto fail = [&](const QString &why) {
        if (linked)
            ::unlink(named.c_str());
        return why;
    };
    if (target.kind == Target::Existing) {
        // Keep the file's permissions and, where allowed, its owner.
        ::fchmod(file.get(), mode);
        if (::geteuid() == 0)
            (void)!::fchown(file.get(), target.status.st_uid, target.status.st_gid);
    }
    if (const QString why = write_all(file.get(), bytes.constData(), std::size_t(bytes.size()));
        !why.isEmpty())
        return fail(why);
    if (::fsync(file.get()) != 0 && errno != EINVAL)
        return fail(reason(errno));
    if (unnamed) {
        const std::string self = "/proc/self/fd/" + std::to_string(file.get());
        ::unlink(named.c_str());
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) != 0)
            return folder_reason(target.folder, errno);
        linked = true;
    }
    if (!file.close())
        return fail(reason(errno));
    if (::rename(named.c_str(), target.path.c_str()) != 0)
        return fail(reason(errno));
    return QString();
}

// Opens a FIFO or character device and writes into it.
QString write_in_place(const Target &target, const QByteArray &bytes)
{
    Descriptor file(::open(target.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0)
        return reason(errno);
    if (const QString why = write_all(file.get(), bytes.constData(), std::size_t(bytes.size()));
        !why.isEmpty())
        return why;
    if (!file.close())
        return reason(errno);
    return QString();
}

} // namespace

QString write_descriptor(int descriptor, const QByteArray &bytes)
{
    return write_all(descriptor, bytes.constData(), std::size_t(bytes.size()));
}

QString write_output_file(const QByteArray &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        return reason(ENOENT);
    const Target target = resolve(path.toStdString());
    switch (target.kind) {
    case Target::Failed:
        return target.failure;
    case Target::OpenDescriptor:
        return write_descriptor(target.descriptor, bytes);
    case Target::New:
        return replace_file(target, bytes);
    case Target::Existing:
        break;
    }
    const mode_t type = target.status.st_mode & S_IFMT;
    if (type == S_IFREG) {
        // A file the user may not write is not replaced behind its back.
        if (::access(target.path.c_str(), W_OK) != 0)
            return errno == EROFS ? folder_reason(target.folder, errno) : reason(errno);
        return replace_file(target, bytes);
    }
    if (type == S_IFIFO || type == S_IFCHR)
        return write_in_place(target, bytes);
    if (type == S_IFDIR)
        return reason(EISDIR);
    if (type == S_IFSOCK)
        return QStringLiteral("Is a socket");
    if (type == S_IFBLK)
        return QStringLiteral("Is a block device");
    return QStringLiteral("Is not a file that can be written");
}

QString write_output_file(const QString &path, const QByteArray &bytes)
{
    return write_output_file(QFile::encodeName(path), bytes);
}

QByteArray output_identity(const QByteArray &path)
{
    if (path == "-")
        return output_identity("/proc/self/fd/1");
    const Target target = resolve(path.toStdString());
    struct stat status = target.status;
    if (target.kind == Target::OpenDescriptor && ::fstat(target.descriptor, &status) != 0)
        return "descriptor " + QByteArray::number(target.descriptor);
    if (target.kind == Target::Existing || target.kind == Target::OpenDescriptor) {
        if (S_ISCHR(status.st_mode))
            return "device " + path;
        return "file " + QByteArray::number(quint64(status.st_dev)) + ':' +
               QByteArray::number(quint64(status.st_ino));
    }
    if (target.kind == Target::New)
        return "name " + QByteArray::fromStdString(target.path);
    return "given " + path;
}

} // namespace pelorin
