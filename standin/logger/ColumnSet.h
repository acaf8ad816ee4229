// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// One column of the entry window.
struct Column {
    QString adifName;
    QString title;
    int attributes = 0;
};

// The columns of the entry window, numbered from 1 as the automation calls
// number them. Asking about a number outside the set gives "" or 0, as a
// logger does when a caller walks the columns until the name comes back empty.
class ColumnSet {
public:
    // Attribute bits. Only kTakesAdifData means anything to callers; the others
    // are there so that callers learn to test the bit instead of comparing.
    static constexpr int kRequired = 1;
    static constexpr int kExchange = 2;
    static constexpr int kTakesAdifData = 4;
    static constexpr int kComputed = 8;

    // Bounds of a column file. With values of at most StandinLogger::kMaxValueBytes,
    // they keep a logged ADIF record within what a reader holds (16 MiB) and
    // every field name within the length a reader takes as a tag.
    static constexpr int kMaxColumns = 200;
    static constexpr int kMaxNameLength = 64;

    // A contest entry window: call, reports, serial numbers, name, state, points.
    static ColumnSet Standard();

    // One column per line: ADIF name, title and attributes, separated by tabs.
    // Throws BadInput naming the file and line of the first bad line.
    static ColumnSet FromFile(const QString &path);
    static ColumnSet FromText(const QString &text, const QString &sourceName);

    int Count() const { return int(m_Columns.size()); }
    bool Contains(int number) const { return number >= 1 && number <= Count(); }
    QString AdifName(int number) const;
    QString Title(int number) const;
    int Attributes(int number) const;

    // Number of the column with this ADIF name (case-insensitive), or 0.
    int NumberOf(const QString &adifName) const;

private:
    static Column ParseLine(const QString &line, const QString &where);

    QList<Column> m_Columns;
};
