// SPDX-License-Identifier: GPL-3.0-or-later
#include "ByteSource.h"

#include "ReaderError.h"

#include <QFileInfo>
#include <cstring>

namespace adif {

namespace {

[[noreturn]] void RaiseFileError(const QString &path, const QString &reason)
{
    throw ReaderError(ReaderError::Kind::FileError, reason, path);
}

} // namespace

FileSource::FileSource(const QString &path) : m_Path(path), m_File(path)
{
    const QFileInfo info(path);
    if (!info.exists())
        RaiseFileError(path, QStringLiteral("No such file or directory"));
    if (info.isDir())
        RaiseFileError(path, QStringLiteral("Is a directory"));
    // Unbuffered: we read big chunks into our own buffer, QFile's would only add a copy.
    if (!m_File.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        RaiseFileError(path, m_File.errorString());
}

size_t FileSource::Read(char *dst, size_t max)
{
    const qint64 n = m_File.read(dst, static_cast<qint64>(max));
    if (n < 0)
        RaiseFileError(m_Path, m_File.errorString());
    return static_cast<size_t>(n);
}

std::unique_ptr<ByteSource> FileSource::Clone() const { return std::make_unique<FileSource>(m_Path); }

size_t MemorySource::Read(char *dst, size_t max)
{
    const size_t size = static_cast<size_t>(m_Data.size());
    const size_t n = std::min(max, size - m_Pos);
    if (n)
        std::memcpy(dst, m_Data.constData() + m_Pos, n);
    m_Pos += n;
    return n;
}

std::unique_ptr<ByteSource> MemorySource::Clone() const { return std::make_unique<MemorySource>(m_Data); }

} // namespace adif
