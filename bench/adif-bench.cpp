// SPDX-License-Identifier: GPL-3.0-or-later
// adif-bench [--scale N] [FILE]
// adif-bench [--scale N] --write PATH
// Writes a contest log of 100,000 records (times N) to a temporary folder, or
// takes FILE (an ADIF file or a Cabrillo log), and reads it as a user waits
// for it: whole, every record and then the file's field names, as
// adif-dump --count does; through the adapter as Ardenix replays it
// (NextRecord, a few FieldValue look-ups, Frequency, Mode and the time-stamp
// parts per record); and the field-name pass alone, which "Customize
// Fields..." waits for. Each pass is timed as the least of three runs.
// Prints MB/s, records/s and the peak RSS, and each time against a baseline
// taken in the same run: memchr for '<' over the same bytes in memory,
// counting the tags, the floor of any ADIF reader (for a Cabrillo log, memchr
// for the line ends, the floor of any line reader). Then reads one record of
// 90,000 distinct fields (990 KB) the way adif-dump lists it, and one whose
// 40,000 lengths all overlap, each against the tag scan of its bytes: the
// cost of a record must stay linear in its size however many fields it has.
// Last, 1 MiB of small records that each declare a long, wrong length,
// against the tag scan of its bytes and a clean MiB of the contest log: the
// cost of a file must stay linear in its size however damaged it is.
// With --write it only writes the log to PATH, so that bench/peer-bench
// reads the very file these figures come from.

#include "AdifReader.h"
#include "AdifReaderControl.h"
#include "BenchStart.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <ctime>
#include <sys/resource.h>

namespace {

struct Rng {
    uint64_t state = 0x9E3779B97F4A7C15ull;
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<uint32_t>(state >> 16);
    }
    uint32_t Below(uint32_t n) { return Next() % n; }
};

void Field(std::string &out, const char *name, const std::string &value)
{
    out += '<';
    out += name;
    out += ':';
    out += std::to_string(value.size());
    out += '>';
    out += value;
    out += ' ';
}

std::string Call(Rng &rng)
{
    static const char *kPrefixes[] = {"K", "W", "N", "DL", "G", "F", "JA", "VE", "OH", "SP", "I", "EA", "PY", "VK"};
    std::string call = kPrefixes[rng.Below(14)];
    call += char('0' + rng.Below(10));
    const uint32_t letters = 1 + rng.Below(3);
    for (uint32_t i = 0; i < letters; ++i)
        call += char('A' + rng.Below(26));
    return call;
}

bool Generate(const QString &path, long records)
{
    std::FILE *f = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!f)
        return false;
    Rng rng;
    std::string out = "Contest log written by adif-bench\n<ADIF_VER:5>3.1.7 <PROGRAMID:10>adif-bench <EOH>\n";
    struct Band {
        const char *name;
        double low;
    };
    static const Band kBands[] = {{"160m", 1.8}, {"80m", 3.5}, {"40m", 7.0}, {"20m", 14.0}, {"15m", 21.0}, {"10m", 28.0}};
    static const char *kModes[] = {"CW", "SSB", "USB", "LSB", "RTTY", "FT8"};
    char buf[64];
    for (long i = 0; i < records; ++i) {
        const Band &band = kBands[rng.Below(6)];
        const long minuteOfContest = i / 40;
        std::snprintf(buf, sizeof buf, "2024%02ld%02ld", 3 + (minuteOfContest / 1440) / 28 % 9,
                      1 + (minuteOfContest / 1440) % 28);
        Field(out, "QSO_DATE", buf);
        std::snprintf(buf, sizeof buf, "%02ld%02ld%02u", (minuteOfContest / 60) % 24, minuteOfContest % 60, rng.Below(60));
        Field(out, "TIME_ON", buf);
        Field(out, "TIME_OFF", buf);
        Field(out, "CALL", Call(rng));
        Field(out, "BAND", band.name);
        std::snprintf(buf, sizeof buf, "%.6f", band.low + rng.Below(100000) / 1e6);
        Field(out, "FREQ", buf);
        Field(out, "MODE", kModes[rng.Below(6)]);
        Field(out, "RST_SENT", "599");
        Field(out, "RST_RCVD", "599");
        std::snprintf(buf, sizeof buf, "%03ld", i % 1000 + 1);
        Field(out, "STX", buf);
        std::snprintf(buf, sizeof buf, "%u", 1 + rng.Below(2000));
        Field(out, "SRX", buf);
        Field(out, "CONTEST_ID", "CQ-WW-CW");
        Field(out, "OPERATOR", "DL1ABC");
        Field(out, "STATION_CALLSIGN", "DL1ABC");
        std::snprintf(buf, sizeof buf, "%c%c%u%u", 'A' + rng.Below(18), 'A' + rng.Below(18), rng.Below(10), rng.Below(10));
        Field(out, "GRIDSQUARE", buf);
        out += "<EOR>\n";
        if (out.size() > (1u << 20)) {
            if (std::fwrite(out.data(), 1, out.size(), f) != out.size()) {
                std::fclose(f);
                return false;
            }
            out.clear();
        }
    }
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

// One record of `fields` distinct one-letter fields, named F00000, F00001, ...
QByteArray WideRecord(int fields)
{
    QByteArray data;
    data.reserve(fields * 11 + 8);
    char field[32];
    for (int i = 0; i < fields; ++i) {
        std::snprintf(field, sizeof field, "<F%05d:1>x", i);
        data += field;
    }
    data += "<EOR>\n";
    return data;
}

// The tags in data, found with memchr for '<': the floor of any ADIF
// reader, which must at least find each tag. With '\n', the lines of a
// Cabrillo log.
long CountTags(const QByteArray &data, char opener = '<')
{
    const char *at = data.constData();
    const char *const end = at + data.size();
    long tags = 0;
    while ((at = static_cast<const char *>(std::memchr(at, opener, static_cast<size_t>(end - at)))) != nullptr) {
        ++tags;
        ++at;
    }
    return tags;
}

// The least of a few runs of a timed pass: the figure least disturbed by the
// rest of the machine, as the baseline is taken.
template <typename Pass>
double BestOf(int runs, Pass pass)
{
    double best = pass();
    for (int run = 1; run < runs; ++run)
        best = std::min(best, pass());
    return best;
}

// Seconds on the wall clock that CountTags takes over data, the least of
// five runs, as the baseline the reader's figures are given against.
struct TagScan {
    double seconds = 0;
    long tags = 0;
};

TagScan ScanTags(const QByteArray &data, char opener = '<')
{
    using Clock = std::chrono::steady_clock;
    TagScan best;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        const long tags = CountTags(data, opener);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (run == 0 || seconds < best.seconds)
            best = {seconds, tags};
    }
    return best;
}

// Seconds of CPU this process has used: on a shared machine, unlike the
// clock on the wall, they do not count the time others took.
double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Reads the wide record as adif-dump does: each field listed by name and
// looked up by that name, then the file's field names. Prints the seconds.
void BenchWideRecord()
{
    using Clock = std::chrono::steady_clock;
    constexpr int kFields = 90000;
    const QByteArray data = WideRecord(kFields);
    AdifReader reader;
    const auto start = Clock::now();
    const double cpuStart = CpuSeconds();
    reader.OpenMemory(data);
    qsizetype listed = 0;
    while (reader.NextRecord()) {
        for (const QString &name : reader.CurrentFieldNames())
            listed += reader.FieldValue(name).size();
    }
    const auto read = Clock::now();
    const double cpuRead = CpuSeconds();
    const auto names = static_cast<int>(reader.FieldNames().size());
    const double readSeconds = std::chrono::duration<double>(read - start).count();
    const double namesSeconds = std::chrono::duration<double>(Clock::now() - read).count();
    const double cpuNames = CpuSeconds() - cpuRead;
    const TagScan scan = ScanTags(data);
    std::printf("wide record     %d fields, %.0f KB: read and listed in %.3f s (%.3f s CPU), field-name pass "
                "%.3f s (%.3f s CPU); %lld values, %d names\n",
                kFields, data.size() / 1e3, readSeconds, cpuRead - cpuStart, namesSeconds, cpuNames,
                static_cast<long long>(listed), names);
    std::printf("                read and listed %.0f x, field-name pass %.0f x the tag scan of its bytes (%.6f s)\n",
                readSeconds / scan.seconds, namesSeconds / scan.seconds, scan.seconds);
}

// One record of 40,000 fields, each declaring nearly all the bytes after it:
// every length is cut short by the next tag. Prints the seconds to read it.
void BenchOverlappingLengths()
{
    using Clock = std::chrono::steady_clock;
    constexpr int kFields = 40000;
    QByteArray data;
    for (int i = 0; i < kFields; ++i)
        data += "<A:" + QByteArray::number(kFields * 14 - i * 14) + ">x";
    data += "<EOR>";
    AdifReader reader;
    const auto start = Clock::now();
    reader.OpenMemory(data);
    int records = 0;
    while (reader.NextRecord())
        ++records;
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const TagScan scan = ScanTags(data);
    std::printf("damaged lengths %d overlapping lengths, %.0f KB: read in %.3f s, %.0f x the tag scan of its bytes "
                "(%.6f s; %d record, %llu recoveries)\n",
                kFields, data.size() / 1e3, seconds, seconds / scan.seconds, scan.seconds, records,
                static_cast<unsigned long long>(reader.Diagnosed().count));
}

// Seconds of CPU that reading data record by record takes, the least of a
// few runs; counts the records and recoveries.
double ReadSeconds(const QByteArray &data, int &records, uint64_t &recoveries)
{
    return BestOf(5, [&] {
        AdifReader reader;
        const double start = CpuSeconds();
        reader.OpenMemory(data);
        records = 0;
        while (reader.NextRecord())
            ++records;
        const double seconds = CpuSeconds() - start;
        recoveries = reader.Diagnosed().count;
        return seconds;
    });
}

// 1 MiB of small records that each declare a long, wrong length, against
// the tag scan of its bytes and as much of the clean contest log (its first
// records, written to cleanPath) read in the same run: recovering every
// record must cost time in proportion to the file, not to its square.
void BenchDamagedRecords(const QString &cleanPath)
{
    constexpr qsizetype kSize = 1 << 20;
    QFile file(cleanPath);
    if (!Generate(cleanPath, 4100) || !file.open(QIODevice::ReadOnly))
        return;
    QByteArray clean = file.read(kSize);
    clean.truncate(clean.lastIndexOf("<EOR>") + 5);
    int cleanRecords = 0;
    uint64_t cleanRecoveries = 0;
    const double cleanSeconds = ReadSeconds(clean, cleanRecords, cleanRecoveries);
    for (const QByteArray &length : {QByteArray("30000"), QByteArray::number(kSize / 2)}) {
        const QByteArray record = "<A:" + length + ">x<EOR>\n";
        const QByteArray damaged = record.repeated(kSize / record.size());
        int records = 0;
        uint64_t recoveries = 0;
        const double seconds = ReadSeconds(damaged, records, recoveries);
        const TagScan scan = ScanTags(damaged);
        std::printf("damaged records %d of %s, %.0f KB: read in %.1f ms, %.0f x the tag scan of its bytes "
                    "(%.3f ms), %.2f x a clean %.0f KB (%d records) in %.1f ms; %llu recoveries\n",
                    records, record.trimmed().constData(), damaged.size() / 1e3, seconds * 1e3,
                    seconds / scan.seconds, scan.seconds * 1e3, seconds / cleanSeconds, clean.size() / 1e3,
                    cleanRecords, cleanSeconds * 1e3, static_cast<unsigned long long>(recoveries));
    }
}

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteLog(const QString &path, long records)
{
    std::printf("writing %ld records to %s\n", records, qPrintable(path));
    if (Generate(path, records))
        return true;
    std::fprintf(stderr, "adif-bench: cannot write %s\n", qPrintable(path));
    return false;
}

// What the reading passes add up, so that the compiler keeps every call.
struct Totals {
    long records = 0;
    double checksum = 0;
    qsizetype textLength = 0;
};

// Seconds that reading the log as Ardenix does takes: through the adapter,
// which converts each result, asking each record for what a replay needs.
double ReadThroughAdapter(AdifReaderControl &reader, const QString &path, Totals &totals)
{
    totals = Totals();
    const auto start = std::chrono::steady_clock::now();
    reader.SetFileName(path);
    while (reader.NextRecord() != 0) {
        ++totals.records;
        totals.textLength += reader.FieldValue(QStringLiteral("CALL")).size();
        totals.textLength += reader.FieldValue(QStringLiteral("rst_rcvd")).size();
        totals.textLength += reader.FieldValue(QStringLiteral("SRX")).size();
        totals.textLength += reader.Mode().size();
        totals.checksum += reader.Frequency() + reader.SplitFrequency();
        totals.checksum += reader.Year() + reader.Month() + reader.Day() + reader.Hour() + reader.Minute() + reader.Second();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds that reading the whole log takes, as adif-dump --count reads it:
// every record, then the file's field names.
double ReadWhole(AdifReader &reader, const QString &path, int &names)
{
    const auto start = std::chrono::steady_clock::now();
    reader.Open(path);
    while (reader.NextRecord()) {
    }
    names = static_cast<int>(reader.FieldNames().size());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long PeakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    BenchStart start(argc, argv, BenchStart::Kind::Console,
                     QStringLiteral("How long reading a contest log takes, as a user waits for it."));
    start.AddNumber(QStringLiteral("scale"), QStringLiteral("Write 100,000 records times N."), 1);
    start.AddText(QStringLiteral("write"), QStringLiteral("PATH"), QStringLiteral("Only write the log to PATH."),
                  QString());
    start.AddArgument(QStringLiteral("FILE"), QStringLiteral("Read FILE (an ADIF file or a Cabrillo log) instead."));
    if (!start.Parse())
        return BenchStart::kUsageExit;
    const long records = 100000L * start.Number(QStringLiteral("scale"));
    const QString writeTo = start.Text(QStringLiteral("write"));
    if (!writeTo.isEmpty() && !start.Argument().isEmpty()) {
        start.Refuse(QStringLiteral("--write takes no FILE"));
        return BenchStart::kUsageExit;
    }
    if (!writeTo.isEmpty())
        return WriteLog(writeTo, records) ? 0 : 1;

    QTemporaryDir dir;
    QString path = start.Argument();
    if (path.isEmpty()) {
        if (!dir.isValid()) {
            std::fprintf(stderr, "adif-bench: no temporary folder\n");
            return 1;
        }
        path = dir.filePath(QStringLiteral("bench.adi"));
        if (!WriteLog(path, records))
            return 1;
    }
    const double megabytes = static_cast<double>(QFileInfo(path).size()) / 1e6;
    const long rssBefore = PeakRssKiB();

    try {
        using Clock = std::chrono::steady_clock;
        Totals totals;
        int names = 0;
        AdifReader reader;
        AdifReaderControl control;
        const double wholeSeconds = BestOf(3, [&] { return ReadWhole(reader, path, names); });
        const double seconds = BestOf(3, [&] { return ReadThroughAdapter(control, path, totals); });
        const double namesSeconds = BestOf(3, [&] {
            reader.Open(path);
            const auto begin = Clock::now();
            reader.FieldNames();
            return std::chrono::duration<double>(Clock::now() - begin).count();
        });
        const long rssRead = PeakRssKiB(); // before the baseline holds the whole file in memory
        const bool cabrillo = reader.IsCabrillo();
        const TagScan scan = ScanTags(ReadBytes(path), cabrillo ? '\n' : '<');

        // Each pass as the time it takes, and that time as a multiple of the tag scan's.
        const auto print = [&](const char *pass, double passSeconds, const char *what) {
            std::printf("%-15s %.3f s: %.0f MB/s, %.0f records/s, %.1f x baseline%s\n", pass, passSeconds,
                        megabytes / passSeconds, static_cast<double>(totals.records) / passSeconds,
                        passSeconds / scan.seconds, what);
        };
        std::printf("file            %.1f MB, %ld records, %d field names\n", megabytes, totals.records, names);
        std::printf("baseline        %.4f s: %.0f MB/s, memchr for %s over the file in memory (%ld %s, best of 5)\n",
                    scan.seconds, megabytes / scan.seconds, cabrillo ? "line ends" : "'<'", scan.tags,
                    cabrillo ? "lines" : "tags");
        print("whole read", wholeSeconds, " (every record, then the field names, as adif-dump --count)");
        print("adapter", seconds, " (every record as Ardenix replays it)");
        print("field-name pass", namesSeconds, "");
        std::printf("peak RSS        %.1f MiB (%.1f MiB before reading)\n", rssRead / 1024.0, rssBefore / 1024.0);
        std::printf("(checksum %.3f, text %lld)\n", totals.checksum, static_cast<long long>(totals.textLength));
        BenchWideRecord();
        BenchOverlappingLengths();
        BenchDamagedRecords(dir.filePath(QStringLiteral("clean.adi")));
    } catch (const RuntimeError &error) { // through the adapter
        std::fprintf(stderr, "adif-bench: %s\n", qPrintable(error.description()));
        return 1;
    } catch (const ReaderError &error) {
        std::fprintf(stderr, "adif-bench: %s\n", qPrintable(AdifReaderControl::Translated(error).description()));
        return 1;
    }
    return 0;
}
