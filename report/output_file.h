#pragma once

// Writing an output the user named, without ever destroying it.
//
// What the name leads to decides how it is written:
// - a regular file, a symbolic link to one, or a name not yet taken: the
//   bytes go into a temporary file in the same folder, which is renamed over
//   the file only once everything is written and synced, so the file holds
//   its old content or the complete new one, never a part. A link stays a
//   link: the file it points to is replaced. The temporary file has no name
//   while it is written where the file system allows it (O_TMPFILE); where it
//   does not (FAT, for one), it is named ".NAME.PID.pelorin-tmp", and one
//   left behind by a process that died is removed by the next write of the
//   same file;
// - standard output, standard error or another open descriptor of this
//   process (/dev/stdout, /dev/fd/N, /proc/self/fd/N): written where the
//   descriptor stands, as a shell's redirection would (an appended file is
//   appended to);
// - a FIFO, a terminal or another character device: written in place,
//   streamed, never renamed over;
// - a folder, a socket, a block device: refused.
// Every write, the sync and the close are checked.
//
// Names are bytes, as the system takes them: a name that is no valid UTF-8
// is written under exactly that name.

#include <QByteArray>
#include <QString>

namespace pelorin {

// Writes `bytes` to the output named by `path` (the system's bytes). Returns
// the reason, naming a folder when the folder is the problem, or empty when
// everything was written.
QString write_output_file(const QByteArray &path, const QByteArray &bytes);
// The same for a name from a dialog, in the local 8-bit encoding.
QString write_output_file(const QString &path, const QByteArray &bytes);

// Writes all of `bytes` to an open descriptor; returns the system's reason
// when a write fails, empty when all were written.
QString write_descriptor(int descriptor, const QByteArray &bytes);

// What `path` would write to, for telling two outputs apart: the same value
// for two names of one existing file or descriptor (a character device, which
// takes any number of writers, always differs), "-" for standard output.
QByteArray output_identity(const QByteArray &path);

} // namespace pelorin
