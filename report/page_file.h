#pragma once

// The report page file: the generated pages of a report, saved from the
// preview ("Save report") and read back page for page ("Load report").
//
// Byte layout (all integers little-endian, reals IEEE-754 binary64):
//
//   header   8 bytes  magic 89 'P' 'R' 'P' 0D 0A 1A 0A
//            4 bytes  format version (u32, currently 1)
//            4 bytes  page count (u32, 1 to max_pages)
//   page     8 bytes  paper width, tenths of a millimetre (f64)
//  (repeated 8 bytes  paper height, tenths of a millimetre (f64)
//   count    4 bytes  orientation (u32: 0 portrait, 1 landscape)
//   times)   4 bytes  picture length n (u32, at most max_picture_bytes)
//            n bytes  the page's QPicture data
//   trailer 32 bytes  SHA-256 of every byte before it
//
// The magic's first byte and its CR LF / Ctrl-Z / LF tail catch files damaged by
// text-mode transfers. Readers refuse any format version above their own.

#include <QByteArray>
#include <QPageLayout>
#include <QSizeF>
#include <QString>
#include <QVector>

namespace pelorin {

// One generated page as kept by the preview: its sheet and its drawing.
struct StoredPage
{
    QSizeF paper_size; // tenths of a millimetre, as drawn (width x height)
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QByteArray picture; // QPicture::data() of the page; empty for a blank page
};

// The one file type the Save report and Load report dialogs offer.
inline constexpr char page_file_suffix[] = "prp"; // default suffix, without the dot
inline constexpr char page_file_filter[] = "PELORIN report pages (*.prp)";

// Limits a file must keep to be read; save_page_file refuses pages beyond them
// so that every file it writes can be loaded again.
inline constexpr quint32 page_file_version = 1;
inline constexpr quint32 max_pages = 10000;
inline constexpr qint64 max_page_file_bytes = 64 * 1024 * 1024;
inline constexpr quint32 max_picture_bytes = 16 * 1024 * 1024;
inline constexpr double max_paper_extent = 100000.0; // 10 m, in tenths of a millimetre

// Writes the pages to path atomically: the file is replaced only once all of
// it has been written, so an existing file is never left half-written.
// Throws pelorin::Error naming the file when the pages cannot be saved,
// including pages that load_page_file would refuse (none, too many, a paper
// size out of range, a picture too large or not as QPainter writes it).
void save_page_file(const QString &path, const QVector<StoredPage> &pages);

// Reads the pages saved by save_page_file. Throws pelorin::Error naming the
// file and what is wrong with it (missing, unreadable, not a page file, written
// by a newer version, truncated or damaged). The whole file is read (at most
// max_page_file_bytes) and its checksum verified before any picture is looked
// at; each picture then passes picture_data_problem() (report/picture_check.h)
// before QPicture ever sees it, and must replay without a format error.
QVector<StoredPage> load_page_file(const QString &path);

// What load_page_file does with the bytes it has read: `name` stands for the
// file in the messages.
QVector<StoredPage> parse_page_file(const QString &name, const QByteArray &bytes);

// True when something exists at path: a file, but also a folder, a pipe or a
// device. Load report asks this first and shows "File does not exist" itself;
// load_page_file says why anything else that is not a regular file is refused.
bool page_file_exists(const QString &path);

} // namespace pelorin
