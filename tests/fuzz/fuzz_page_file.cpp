// The page-file reader on any bytes: pages or pelorin::Error. Each input is
// read as it is (mostly refused by the checksum or before it) and once more
// with its last 32 bytes replaced by the checksum of the rest, so that changed
// files reach the reading of the pages.

#include "calc/errors.h"
#include "report/page_file.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <cstddef>
#include <cstdint>

namespace {

constexpr qsizetype checksum_bytes = 32;

void read(const QByteArray &bytes)
{
    try {
        pelorin::parse_page_file(QStringLiteral("fuzz.prp"), bytes);
    } catch (const pelorin::Error &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    read(bytes);
    if (bytes.size() < checksum_bytes)
        return 0;
    const qsizetype body = bytes.size() - checksum_bytes;
    bytes.replace(body, checksum_bytes,
                  QCryptographicHash::hash(QByteArrayView(bytes.constData(), body),
                                           QCryptographicHash::Sha256));
    read(bytes);
    return 0;
}
