#pragma once

// Writing a file whole or not at all.

#include <QByteArray>
#include <QString>

namespace pelorin {

// Writes bytes to path atomically: into a temporary file beside it that is
// renamed over path only once everything is written, so an existing file is
// replaced whole or left as it was. Returns the system's reason when the file
// could not be written ("No space left on device"), empty when it was.
QString write_whole_file(const QString &path, const QByteArray &bytes);

} // namespace pelorin
