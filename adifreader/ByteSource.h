// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstddef>
#include <memory>

namespace adif {

// Where the reader's bytes come from: a file or a buffer in memory. Read()
// is called per chunk, never per byte, so the virtual call costs nothing.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to max bytes into dst; 0 only at the end of the data.
    virtual size_t Read(char *dst, size_t max) = 0;
    // A second, independent source over the same bytes, placed at the start.
    virtual std::unique_ptr<ByteSource> Clone() const = 0;
    // Name used in error messages.
    virtual QString Name() const = 0;
};

class FileSource final : public ByteSource {
public:
    // Raises a ReaderError (FileError) when the file cannot be opened for reading.
    explicit FileSource(const QString &path);
    size_t Read(char *dst, size_t max) override;
    std::unique_ptr<ByteSource> Clone() const override;
    QString Name() const override { return m_Path; }

private:
    QString m_Path;
    QFile m_File;
};

class MemorySource final : public ByteSource {
public:
    // The bytes are shared, not copied; raw data (QByteArray::fromRawData)
    // must outlive the source.
    explicit MemorySource(QByteArray data) : m_Data(std::move(data)) {}
    size_t Read(char *dst, size_t max) override;
    std::unique_ptr<ByteSource> Clone() const override;
    QString Name() const override { return QStringLiteral("(memory)"); }

private:
    QByteArray m_Data;
    size_t m_Pos = 0;
};

} // namespace adif
