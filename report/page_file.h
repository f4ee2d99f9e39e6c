#pragma once

// The report page file: the generated pages of a report, saved from the
// preview ("Save report") and read back page for page ("Load report"). A page
// is kept as the engine placed it (report units, texts, fonts, frames), not as
// drawing commands, and is drawn again through paint_page when shown or
// printed.
//
// Byte layout (integers little-endian, reals IEEE-754 binary64, texts a u32
// byte count followed by that many bytes of UTF-8):
//
//   file     8 bytes  magic 89 'P' 'R' 'P' 0D 0A 1A 0A
//            u32      format version (2)
//            u32      page count (1 to max_pages)
//            page     (count times)
//           32 bytes  SHA-256 of every byte before it
//   page     f64 f64  paper width and height, tenths of a millimetre
//            u32      orientation (0 portrait, 1 landscape)
//            u32      band count (at most max_bands)
//            band     (count times)
//   band     u32      kind (page header, title, column header, detail, summary)
//            text     name
//            f64 x4   rectangle: left, top, width, height
//            f64 x4   frame lines: top, bottom, left, right (points)
//            i32      table row of a detail band, otherwise -1
//            u32      element count (at most max_elements in the whole page)
//            element  (count times)
//   element  text     name
//            u32      kind (label, system data, data text, memo)
//            f64 x4   box: left, top, width, height
//            text     font family
//            f64      font size, points
//            u8 u8    bold, underline (0 or 1)
//            u32      horizontal alignment (left, right or centre flag)
//            u8       word wrap (0 or 1)
//            f64 x4   frame lines
//            text     text
//
// The magic's first byte and its CR LF / Ctrl-Z / LF tail catch files damaged by
// text-mode transfers. Readers refuse any format version other than their own.

#include "report/report_engine.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace pelorin {

// One generated page as the preview keeps it and a page file holds it.
using StoredPage = ReportPage;

// The one file type the Save report and Load report dialogs offer.
inline constexpr char page_file_suffix[] = "prp"; // default suffix, without the dot
inline constexpr char page_file_filter[] = "PELORIN report pages (*.prp)";

// Limits a file must keep to be read; save_page_file refuses pages beyond them
// so that every file it writes can be loaded again.
inline constexpr quint32 page_file_version = 2;
inline constexpr quint32 max_pages = 10000;
inline constexpr qint64 max_page_file_bytes = 64 * 1024 * 1024;
inline constexpr quint32 max_bands = 1000;     // per page
inline constexpr quint32 max_elements = 10000; // per page
inline constexpr quint32 max_text_bytes = 65536;
inline constexpr double max_paper_extent = 100000.0; // 10 m, in tenths of a millimetre
inline constexpr double max_font_points = 1000.0;
inline constexpr double max_frame_points = 100.0;

// Writes the pages to path atomically: the file is replaced only once all of
// it has been written, so an existing file is never left half-written.
// Throws pelorin::Error naming the file when the pages cannot be saved,
// including pages that load_page_file would refuse (none, too many, values out
// of range).
void save_page_file(const QString &path, const QVector<StoredPage> &pages);

// Reads the pages saved by save_page_file, numbered from 1 in file order.
// Throws pelorin::Error naming the file and what is wrong with it (missing,
// unreadable, not a page file, of another format version, truncated or
// damaged). The whole file is read (at most max_page_file_bytes); its
// records are walked within their limits, and its checksum verified before
// any value is used.
QVector<StoredPage> load_page_file(const QString &path);

// What load_page_file does with the bytes it has read: `name` stands for the
// file in the messages.
QVector<StoredPage> parse_page_file(const QString &name, const QByteArray &bytes);

// One page in the file's page record form, and back. decode_page throws
// pelorin::Error when the bytes are not exactly one valid page record.
QByteArray encode_page(const StoredPage &page);
StoredPage decode_page(const QByteArray &bytes);

// True when something exists at path: a file, but also a folder, a pipe or a
// device. Load report asks this first and shows "File does not exist" itself;
// load_page_file says why anything else that is not a regular file is refused.
bool page_file_exists(const QString &path);

} // namespace pelorin
