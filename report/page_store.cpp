#include "report/page_store.h"

#include <QDir>
#include <QTemporaryFile>

namespace pelorin {

PageStore::PageStore() = default;
PageStore::~PageStore() = default; // the temporary file removes itself
PageStore::PageStore(PageStore &&) noexcept = default;
PageStore &PageStore::operator=(PageStore &&) noexcept = default;

void PageStore::append(const QByteArray &page_data)
{
    Entry entry;
    entry.data = page_data;
    entry.size = page_data.size();
    m_pages.append(entry);
    m_total += entry.size;
    if (m_total > memory_limit)
        move_to_file();
}

bool PageStore::open_file()
{
    if (m_file)
        return true;
    if (m_file_failed)
        return false;
    auto file = std::make_unique<QTemporaryFile>(
        QDir(QDir::tempPath()).filePath(QStringLiteral("pelorin-pages-XXXXXX.tmp")));
    if (!file->open() || !file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        m_file_failed = true;
        return false;
    }
    m_file = std::move(file);
    return true;
}

// Moves the pages still in memory to the end of the file, in order. A page
// whose write fails stays in memory, and so does every page after it.
void PageStore::move_to_file()
{
    if (m_on_file == m_pages.size() || !open_file())
        return;
    while (m_on_file < m_pages.size()) {
        Entry &entry = m_pages[m_on_file];
        if (!m_file->seek(m_file_end) || m_file->write(entry.data) != entry.size ||
            !m_file->flush()) {
            m_file_failed = true;
            return;
        }
        entry.offset = m_file_end;
        entry.data = QByteArray();
        m_file_end += entry.size;
        ++m_on_file;
    }
}

QByteArray PageStore::page_data(int number) const
{
    if (number < 1 || number > count())
        return {};
    const qsizetype index = number - 1;
    const Entry &entry = m_pages.at(index);
    if (index >= m_on_file)
        return entry.data;
    if (!m_file->seek(entry.offset))
        return {};
    QByteArray data = m_file->read(entry.size);
    if (data.size() != entry.size)
        return {};
    return data;
}

QString PageStore::file_name() const
{
    return on_file() ? m_file->fileName() : QString();
}

} // namespace pelorin
