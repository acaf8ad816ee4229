// SPDX-License-Identifier: GPL-3.0-or-later
// adif-dump FILE: one JSON object per record, then the file's field names,
// then the damage the reader met and what it made of it, then, for a
// Cabrillo log, the X-QSO lines it holds.
// adif-dump --count FILE: "records N fieldnames M diagnostics K", with
// " xqso X" after it for a Cabrillo log.
// An error is reported as Ardenix reports it.

#include "AdifReader.h"
#include "AdifReaderControl.h"

#include <QCommandLineParser>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Appends one UTF-16 code unit sequence as UTF-8; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::string &out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A JSON string in UTF-8, written straight from the UTF-16 text: runs of
// plain ASCII are copied whole, since values are mostly plain.
void AppendJsonString(std::string &out, const QString &text)
{
    out += '"';
    const char16_t *p = reinterpret_cast<const char16_t *>(text.utf16());
    const char16_t *end = p + text.size();
    while (p < end) {
        const char16_t *run = p;
        while (p < end && *p >= 0x20 && *p < 0x80 && *p != '"' && *p != '\\')
            ++p;
        const size_t at = out.size();
        out.resize(at + static_cast<size_t>(p - run));
        std::transform(run, p, out.begin() + static_cast<std::ptrdiff_t>(at),
                       [](char16_t c) { return static_cast<char>(c); });
        if (p == end)
            break;
        const char16_t c = *p++;
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
                AppendUtf8(out, QChar::surrogateToUcs4(c, *p++));
            } else if (QChar::isSurrogate(c)) {
                AppendUtf8(out, 0xFFFD);
            } else {
                AppendUtf8(out, c);
            }
        }
    }
    out += '"';
}

void AppendJsonNumber(std::string &out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    // Shortest text that reads back as the same double.
    out += QByteArray::number(value, 'g', QLocale::FloatingPointShortest).toStdString();
}

void Write(const std::string &line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
}

// Writes out what a long line holds so far, so a record of many fields
// needs no buffer as large as its line.
void WriteSome(std::string &line)
{
    if (line.size() < 64 * 1024)
        return;
    Write(line);
    line.clear();
}

// {"DiagnosticCount": N, "Diagnostics": [{"Offset": O, "Message": "..."}, ...]}:
// every piece of damage is counted, the first ones are listed.
std::string DiagnosticsLine(const adif::Diagnostics &diagnostics)
{
    std::string line = "{\"DiagnosticCount\": " + std::to_string(diagnostics.count) + ", \"Diagnostics\": [";
    for (size_t i = 0; i < diagnostics.kept.size(); ++i) {
        if (i)
            line += ", ";
        line += "{\"Offset\": " + std::to_string(diagnostics.kept[i].offset) + ", \"Message\": ";
        AppendJsonString(line, diagnostics.kept[i].message);
        line += '}';
    }
    line += "]}\n";
    return line;
}

const char kHelp[] =
    "usage: adif-dump [--count] FILE\n"
    "\n"
    "Prints each record of an ADIF (ADI or ADX) file or a Cabrillo log as Ardenix's\n"
    "reader sees it: one JSON object per record (the derived properties and every\n"
    "field), then {\"FieldNames\": [...]}, then {\"DiagnosticCount\": N, \"Diagnostics\": [...]}\n"
    "(what the reader recovered or skipped, each with its byte offset and why), and for a\n"
    "Cabrillo log {\"XQsoCount\": X}: the X-QSO lines, contacts not replayed.\n"
    "--count prints only \"records N fieldnames M diagnostics K\" (and \" xqso X\").\n"
    "\n"
    "A file whose first line that is not blank begins START-OF-LOG: is a Cabrillo log:\n"
    "one record per QSO line, with its fields under ADIF names. Cabrillo gives whole\n"
    "minutes, so the n consecutive contacts of one minute are spread over it: the k-th\n"
    "(from 0) gets second k * 60 / n, rounded down, in TIME_ON and in Second.\n";

const char kUsage[] = "usage: adif-dump [--count] FILE\n";

int Fail(const ReaderError &error)
{
    std::fflush(stdout);
    std::fprintf(stderr, "adif-dump: %s\n", qPrintable(AdifReaderControl::Translated(error).description()));
    return 1;
}

// One JSON object per record: the derived properties and every field.
void WriteRecord(AdifReader &reader, std::string &line)
{
    const adif::TimeStamp time = reader.Time();
    line.clear();
    line += "{\"Year\": " + std::to_string(time.year);
    line += ", \"Month\": " + std::to_string(time.month);
    line += ", \"Day\": " + std::to_string(time.day);
    line += ", \"Hour\": " + std::to_string(time.hour);
    line += ", \"Minute\": " + std::to_string(time.minute);
    line += ", \"Second\": " + std::to_string(time.second);
    line += ", \"Frequency\": ";
    AppendJsonNumber(line, reader.Frequency());
    line += ", \"SplitFrequency\": ";
    AppendJsonNumber(line, reader.SplitFrequency());
    line += ", \"Mode\": ";
    AppendJsonString(line, reader.Mode());
    line += ", \"fields\": {";
    const QStringList names = reader.CurrentFieldNames();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i)
            line += ", ";
        AppendJsonString(line, names[i]);
        line += ": ";
        AppendJsonString(line, reader.FieldValue(names[i]));
        WriteSome(line);
    }
    line += "}}\n";
    Write(line);
}

// After the records: the field names, the damage and the X-QSO lines.
void WriteSummary(AdifReader &reader, std::string &line)
{
    line = "{\"FieldNames\": [";
    const QStringList &names = reader.FieldNames();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i)
            line += ", ";
        AppendJsonString(line, names[i]);
        WriteSome(line);
    }
    line += "]}\n";
    Write(line);
    Write(DiagnosticsLine(reader.Diagnosed()));
    if (reader.IsCabrillo())
        Write("{\"XQsoCount\": " + std::to_string(reader.XQsoCount()) + "}\n");
}

void WriteCount(AdifReader &reader, long records)
{
    std::printf("records %ld fieldnames %d diagnostics %llu", records, static_cast<int>(reader.FieldNames().size()),
                static_cast<unsigned long long>(reader.Diagnosed().count));
    if (reader.IsCabrillo())
        std::printf(" xqso %llu", static_cast<unsigned long long>(reader.XQsoCount()));
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    // Nothing here needs an application object, and making one costs a
    // good part of the start; the arguments are decoded as it would.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption count(QStringLiteral("count"));
    parser.addOptions({help, count});
    const bool parsed = parser.parse(args);
    if (parser.isSet(help)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const bool countOnly = parser.isSet(count);
    const QStringList files = parser.positionalArguments();
    if (!parsed || files.size() != 1 || files.first().startsWith(QLatin1Char('-'))) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    try {
        AdifReader reader;
        reader.Open(files.first());
        long records = 0;
        std::string line;
        while (reader.NextRecord()) {
            ++records;
            if (!countOnly)
                WriteRecord(reader, line);
        }
        if (countOnly)
            WriteCount(reader, records);
        else
            WriteSummary(reader, line);
    } catch (const ReaderError &error) {
        return Fail(error);
    }
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "adif-dump: cannot write the output\n");
        return 1;
    }
    return 0;
}
