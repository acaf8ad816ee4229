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
    // Attribute bits. Only TakesAdifData means anything to callers; the others
    // are there so that callers learn to test the bit instead of comparing.
    static constexpr int Required = 1;
    static constexpr int Exchange = 2;
    static constexpr int TakesAdifData = 4;
    static constexpr int Computed = 8;

    // Bounds of a column file. With values of at most StandinLogger::MaxValueBytes,
    // they keep a logged ADIF record within what a reader holds (16 MiB) and
    // every field name within the length a reader takes as a tag.
    static constexpr int MaxColumns = 200;
    static constexpr int MaxNameLength = 64;

    // A contest entry window: call, reports, serial numbers, name, state, points.
    static ColumnSet standard();

    // One column per line: ADIF name, title and attributes, separated by tabs.
    // Throws BadInput naming the file and line of the first bad line.
    static ColumnSet fromFile(const QString &path);
    static ColumnSet fromText(const QString &text, const QString &sourceName);

    int count() const { return int(m_Columns.size()); }
    bool contains(int number) const { return number >= 1 && number <= count(); }
    QString adifName(int number) const;
    QString title(int number) const;
    int attributes(int number) const;

    // Number of the column with this ADIF name (case-insensitive), or 0.
    int numberOf(const QString &adifName) const;

private:
    static Column parseLine(const QString &line, const QString &where);

    QList<Column> m_Columns;
};
