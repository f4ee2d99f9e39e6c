// Writing an output never destroys what the name leads to: a file is replaced
// whole or kept, anything else is written in place or refused, and every
// failure is reported with its reason.

#include "report/output_file.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <thread>

using pelorin::write_output_file;

namespace {

const QByteArray old_content = "old content\n";
const QByteArray new_content = QByteArray("new content\n").repeated(20000); // 240 kB

QByteArray read_all(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

mode_t type_of(const QString &path)
{
    struct stat status = {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & S_IFMT;
}

// The names left in the folder beside `keep`: temporary files must not stay.
QStringList left_over(const QString &folder, const QString &keep)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    names.removeAll(keep);
    return names;
}

} // namespace

class TestOutputFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void targets_data();
    void targets();
    void stale_temporary_is_removed();

private:
    // A small file system of our own, mounted in a mount namespace of this
    // test alone (root only); empty when it cannot be made.
    QString mount_tmpfs(const QString &folder, const char *options);

    QTemporaryDir m_dir;
    bool m_own_mounts = false;
    QStringList m_mounted;
};

void TestOutputFile::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_own_mounts = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
                   ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

void TestOutputFile::cleanupTestCase()
{
    for (const QString &path : std::as_const(m_mounted))
        ::umount2(QFile::encodeName(path).constData(), MNT_DETACH);
}

QString TestOutputFile::mount_tmpfs(const QString &folder, const char *options)
{
    const QString path = m_dir.filePath(folder);
    QDir().mkpath(path);
    if (!m_own_mounts ||
        ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0, "size=64k") != 0)
        return QString();
    m_mounted += path;
    if (QByteArray(options) == "ro") {
        put(path + QStringLiteral("/out"), old_content);
        ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                "size=64k");
    }
    return path;
}

void TestOutputFile::targets_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason"); // empty: written
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("regular file") << "file"
                                  << "" << new_content;
    QTest::newRow("symbolic link to a file") << "link"
                                             << "" << new_content;
    QTest::newRow("descriptor opened to append") << "descriptor"
                                                 << "" << old_content + new_content;
    QTest::newRow("FIFO with a reader") << "fifo"
                                        << "" << QByteArray();
    QTest::newRow("full device") << "device"
                                 << "No space left on device" << QByteArray();
    QTest::newRow("full file system") << "full"
                                      << "No space left on device" << old_content;
    QTest::newRow("read-only folder") << "ro"
                                      << "cannot be written: Read-only file system" << old_content;
    QTest::newRow("missing folder")
        << "missing"
        << "none' cannot be written: No such file or directory" << QByteArray();
    QTest::newRow("folder") << "folder"
                            << "Is a directory" << QByteArray();
}

void TestOutputFile::targets()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QFETCH(QByteArray, after);

    const QString folder = m_dir.filePath(kind);
    QDir().mkpath(folder);
    QString name = folder + QStringLiteral("/out");
    QString content = name; // where `after` is read back
    mode_t type = S_IFREG;
    int descriptor = -1;
    if (kind == QLatin1String("file")) {
        put(name, old_content);
        QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    } else if (kind == QLatin1String("link")) {
        content = folder + QStringLiteral("/target");
        put(content, old_content);
        QVERIFY(QFile::link(QStringLiteral("target"), name));
        type = S_IFLNK;
    } else if (kind == QLatin1String("descriptor")) {
        put(content, old_content);
        descriptor = ::open(QFile::encodeName(content).constData(), O_WRONLY | O_APPEND);
        QVERIFY(descriptor >= 0);
        name = QStringLiteral("/proc/self/fd/%1").arg(descriptor);
    } else if (kind == QLatin1String("device")) {
        // A node of its own with the numbers of the system's always-full device.
        if (::mknod(QFile::encodeName(name).constData(), S_IFCHR | 0600, makedev(1, 7)) != 0)
            QSKIP("making a device node needs root");
        type = S_IFCHR;
    } else if (kind == QLatin1String("full") || kind == QLatin1String("ro")) {
        if (mount_tmpfs(kind, qPrintable(kind)).isEmpty())
            QSKIP("mounting a small file system needs root");
        if (kind == QLatin1String("full"))
            put(name, old_content);
    } else if (kind == QLatin1String("missing")) {
        name = QDir(folder).filePath(QStringLiteral("none/out"));
        content = QString();
        type = 0;
    } else if (kind == QLatin1String("folder")) {
        name = folder;
        content = QString();
        type = S_IFDIR;
    } else if (kind == QLatin1String("fifo")) {
        QVERIFY(::mkfifo(QFile::encodeName(name).constData(), 0600) == 0);
        type = S_IFIFO;
    }
    QByteArray received;
    std::thread reader;
    if (type == S_IFIFO)
        reader = std::thread([&] { received = read_all(name); });

    const QString why = write_output_file(name, new_content);
    if (reader.joinable()) {
        reader.join();
        QVERIFY(received == new_content);
    }
    if (descriptor >= 0)
        ::close(descriptor);
    QVERIFY2(reason.isEmpty() ? why.isEmpty() : why.contains(reason), qPrintable(why));
    if (kind != QLatin1String("descriptor"))
        QCOMPARE(type_of(name), type);
    if (!after.isEmpty())
        QVERIFY(read_all(content) == after);
    if (kind != QLatin1String("link") && kind != QLatin1String("folder"))
        QCOMPARE(left_over(folder, QStringLiteral("out")), QStringList());
}

// A write killed on a file system without unnamed temporary files leaves its
// temporary file behind; the next write of the same file removes it.
void TestOutputFile::stale_temporary_is_removed()
{
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    QVERIFY(gone.waitForStarted());
    const qint64 pid = gone.processId();
    QVERIFY(gone.waitForFinished());
    const QString folder = m_dir.filePath(QStringLiteral("stale"));
    QDir().mkpath(folder);
    const QString stale = QStringLiteral("%1/.out.%2.pelorin-tmp").arg(folder).arg(pid);
    const QString other = QStringLiteral("%1/.other.%2.pelorin-tmp").arg(folder).arg(pid);
    put(stale, old_content);
    put(other, old_content);
    QCOMPARE(write_output_file(folder + QStringLiteral("/out"), new_content), QString());
    QVERIFY(!QFile::exists(stale));
    QVERIFY(QFile::exists(other)); // another file's
}

QTEST_GUILESS_MAIN(TestOutputFile)
#include "tst_output_file.moc"
