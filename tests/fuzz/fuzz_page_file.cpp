// The page-file reader on any bytes: pages or pelorin::Error. Each input is
// read as it is (mostly refused by the checksum or before it) and once more
// with its last 32 bytes replaced by the checksum of the rest, so that changed
// files reach the reading of the pages.

#include "calc/errors.h"
#include "report/page_file.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QGuiApplication>

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

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Pages may hold texts in fonts: a GUI application without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_page_file";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

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
