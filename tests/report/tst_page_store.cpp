// The page store of a print job: pages in memory up to 100 000 bytes, then in
// a private temporary file that disappears with the store.

#include "report/page_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <memory>
#include <sys/stat.h>

using pelorin::PageStore;

namespace {

// Distinct bytes for every page, so a page read back from the wrong place shows.
QByteArray page_bytes(int number, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + number * 131) % 251);
    return bytes;
}

int mode_bits(const QString &path)
{
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return -1;
    return int(status.st_mode & 07777);
}

// Child-process scenarios: stores destroyed after the application object.
int run_store_outliving_application(int argc, char **argv, bool static_store)
{
    auto application = std::make_unique<QCoreApplication>(argc, argv);
    std::unique_ptr<PageStore> local;
    PageStore *store = nullptr;
    if (static_store) {
        static PageStore at_exit; // destroyed after main returns
        store = &at_exit;
    } else {
        local = std::make_unique<PageStore>();
        store = local.get();
    }
    store->append(page_bytes(1, PageStore::memory_limit + 1));
    QTextStream(stdout) << store->file_name() << '\n'
                        << (QFile::exists(store->file_name()) ? "exists" : "missing") << '\n';
    application.reset();
    local.reset();
    return 0;
}

} // namespace

class TestPageStore : public QObject
{
    Q_OBJECT

private slots:
    void moves_to_file_past_the_limit_data();
    void moves_to_file_past_the_limit();
    void pages_appended_and_read_in_turn();
    void page_numbers_outside_the_store_give_nothing();
    void file_is_removed_with_the_store();
    void moved_store_keeps_its_file();
    void store_outliving_the_application_removes_its_file_data();
    void store_outliving_the_application_removes_its_file();
    void unusable_temporary_directory_keeps_pages_in_memory();
};

void TestPageStore::moves_to_file_past_the_limit_data()
{
    QTest::addColumn<QList<qsizetype>>("sizes");
    QTest::addColumn<bool>("on_file");

    QTest::newRow("one small page") << QList<qsizetype>{2000} << false;
    QTest::newRow("pages filling exactly 100000 bytes")
        << QList<qsizetype>{40000, 40000, 20000} << false;
    QTest::newRow("one byte over the limit") << QList<qsizetype>{40000, 40000, 20001} << true;
    QTest::newRow("one page over the limit") << QList<qsizetype>{100001} << true;
    QTest::newRow("many small pages") << QList<qsizetype>(120, 1000) << true;
    QTest::newRow("pages after the move, some empty")
        << QList<qsizetype>{60000, 60000, 0, 300, 0, 77} << true;
}

void TestPageStore::moves_to_file_past_the_limit()
{
    QFETCH(QList<qsizetype>, sizes);
    QFETCH(bool, on_file);

    PageStore store;
    qint64 total = 0;
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        store.append(page_bytes(int(i + 1), sizes[i]));
        total += sizes[i];
    }

    QCOMPARE(store.count(), sizes.size());
    QCOMPARE(store.total_bytes(), total);
    QCOMPARE(store.on_file(), on_file);
    if (on_file) {
        const QFileInfo file(store.file_name());
        QVERIFY(file.isFile());
        QCOMPARE(file.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        QCOMPARE(file.size(), total);
        QCOMPARE(mode_bits(file.filePath()), 0600);
    } else {
        QVERIFY(store.file_name().isEmpty());
    }
    // Read back out of order, so every read seeks.
    for (qsizetype i = sizes.size(); i >= 1; --i)
        QVERIFY2(store.page_data(int(i)) == page_bytes(int(i), sizes[i - 1]),
                 qPrintable(QStringLiteral("page %1").arg(i)));
}

void TestPageStore::pages_appended_and_read_in_turn()
{
    // As the preview does while the report is generated: a page is shown as
    // soon as it is available, while later pages are still being appended.
    PageStore store;
    for (int number = 1; number <= 12; ++number) {
        store.append(page_bytes(number, 17000 + number));
        QCOMPARE(store.page_data(number), page_bytes(number, 17000 + number));
        QCOMPARE(store.page_data(1), page_bytes(1, 17001));
    }
    QVERIFY(store.on_file());
    QCOMPARE(QFileInfo(store.file_name()).size(), store.total_bytes());
}

void TestPageStore::page_numbers_outside_the_store_give_nothing()
{
    PageStore store;
    QVERIFY(store.page_data(1).isEmpty());
    store.append(page_bytes(1, 150000));
    QVERIFY(store.page_data(0).isEmpty());
    QVERIFY(store.page_data(2).isEmpty());
    QVERIFY(store.page_data(-1).isEmpty());
    QCOMPARE(store.page_data(1).size(), 150000);
}

void TestPageStore::file_is_removed_with_the_store()
{
    QString name;
    {
        PageStore store;
        store.append(page_bytes(1, 99999));
        store.append(page_bytes(2, 2));
        name = store.file_name();
        QVERIFY(QFile::exists(name));
    }
    QVERIFY(!name.isEmpty());
    QVERIFY(!QFile::exists(name));
}

void TestPageStore::moved_store_keeps_its_file()
{
    auto first = std::make_unique<PageStore>();
    first->append(page_bytes(1, 120000));
    const QString name = first->file_name();

    PageStore second = std::move(*first);
    first.reset();
    QVERIFY(QFile::exists(name));
    QCOMPARE(second.file_name(), name);
    QCOMPARE(second.page_data(1), page_bytes(1, 120000));
}

void TestPageStore::store_outliving_the_application_removes_its_file_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::newRow("destroyed after the application") << "--store-after-application";
    QTest::newRow("static store destroyed at exit") << "--static-store";
}

void TestPageStore::store_outliving_the_application_removes_its_file()
{
    QFETCH(QString, scenario);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {scenario});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);

    const QStringList lines =
        QString::fromLocal8Bit(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QString name = lines[0];
    QVERIFY(name.startsWith(QDir::tempPath()));
    QCOMPARE(lines[1], QStringLiteral("exists")); // while the store lived
    QVERIFY2(!QFile::exists(name), qPrintable(name));
}

void TestPageStore::unusable_temporary_directory_keeps_pages_in_memory()
{
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QByteArray old_tmpdir = qgetenv("TMPDIR");
    // A regular file where the temporary directory should be: nothing can be
    // created in it, not even by root.
    const QString not_a_directory = scratch.filePath(QStringLiteral("file"));
    QFile blocker(not_a_directory);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("TMPDIR", QFile::encodeName(not_a_directory));

    PageStore store;
    for (int number = 1; number <= 3; ++number)
        store.append(page_bytes(number, 60000));
    const bool on_file = store.on_file();
    if (old_tmpdir.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", old_tmpdir);

    QVERIFY(!on_file);
    for (int number = 1; number <= 3; ++number)
        QCOMPARE(store.page_data(number), page_bytes(number, 60000));
}

int main(int argc, char **argv)
{
    if (argc == 2 && qstrcmp(argv[1], "--store-after-application") == 0)
        return run_store_outliving_application(argc, argv, false);
    if (argc == 2 && qstrcmp(argv[1], "--static-store") == 0)
        return run_store_outliving_application(argc, argv, true);

    QGuiApplication application(argc, argv);
    TestPageStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_page_store.moc"
