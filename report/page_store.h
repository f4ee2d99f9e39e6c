#pragma once

// The generated screen pages of one print job. Pages are appended as their
// page records (encode_page) while the report is generated and fetched by
// number for the preview. They stay in memory while they take at most memory_limit bytes in
// all; the append that passes the limit moves every page into a temporary file
// in the system's temporary directory (readable and writable by the owner
// only), and later pages go straight to that file. Pages are read back from the
// file on demand. The file is removed when the store is destroyed; that needs
// no running application, so a store that outlives it is cleaned up too.
//
// If the temporary file cannot be created or written, the pages simply stay in
// memory: a report is never lost for want of disk space.

#include <QByteArray>
#include <QString>
#include <QVector>

#include <memory>

class QTemporaryFile;

namespace pelorin {

class PageStore
{
public:
    static constexpr qint64 memory_limit = 100000;

    PageStore();
    ~PageStore();
    PageStore(const PageStore &) = delete;
    PageStore &operator=(const PageStore &) = delete;
    PageStore(PageStore &&) noexcept;
    PageStore &operator=(PageStore &&) noexcept;

    // Appends one page's bytes as the next page.
    void append(const QByteArray &page_data);

    int count() const { return int(m_pages.size()); }
    // Bytes of page data held, in memory and on file together.
    qint64 total_bytes() const { return m_total; }

    // Page number (1 to count) as stored; empty when there is no such page or
    // its bytes can no longer be read from the temporary file.
    QByteArray page_data(int number) const;

    // True once pages have been moved to the temporary file.
    bool on_file() const { return m_on_file > 0; }
    // The temporary file's path, empty while every page is in memory.
    QString file_name() const;

private:
    struct Entry
    {
        QByteArray data;   // the page while it is in memory
        qint64 offset = 0; // where it starts in the file once moved there
        qint64 size = 0;
    };

    void move_to_file();
    bool open_file();

    QVector<Entry> m_pages;
    qint64 m_total = 0;
    std::unique_ptr<QTemporaryFile> m_file;
    qint64 m_file_end = 0;
    // Pages [0, m_on_file) are in the file, the rest in memory.
    qsizetype m_on_file = 0;
    bool m_file_failed = false;
};

} // namespace pelorin
