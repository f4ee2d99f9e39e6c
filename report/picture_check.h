#pragma once

// A check of QPicture data from outside the program (a loaded report page
// file) before QPicture is allowed to play it. QPicture's player trusts its
// data: a count inside a record makes it reserve or loop that many times
// whatever the record's length, records can nest without limit, and some
// values are used unchecked. A file whose checksums were forged on purpose
// could make it use all memory or crash.
//
// The check walks the picture record by record and accepts exactly what a
// QPainter recording on a QPicture writes (Qt 6's picture format 20): the
// commands of that writer only, each record's fields read in full with every
// count bounded by the record's length, enumeration values in range, reals
// finite, coordinates, sizes and counts within generous limits, images only as
// well-formed PNG of bounded size, no nesting, and the end record last.

#include <QByteArray>
#include <QString>

namespace pelorin {

// Empty when the data is safe to hand to QPicture (an empty array is a blank
// page), otherwise what is wrong with it, in a few words.
QString picture_data_problem(const QByteArray &data);

} // namespace pelorin
