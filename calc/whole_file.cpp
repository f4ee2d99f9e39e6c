#include "calc/whole_file.h"

#include <QSaveFile>

namespace pelorin {

QString write_whole_file(const QString &path, const QByteArray &bytes)
{
    // Unbuffered, a write that makes no progress reports the system's reason;
    // a short one is followed by another, which then fails with that reason.
    // (A buffered file would only say "Unknown error".)
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString why = file.errorString();
            file.cancelWriting();
            return why;
        }
        done += qsizetype(written);
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace pelorin
