// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogDiff.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QString kFrequencyField = QStringLiteral("FREQ");

QString Key(const LoggedContact &contact)
{
    return contact.call + QLatin1Char('\t') + contact.band + QLatin1Char('\t') + contact.mode;
}

// Seconds between two contacts; 0 when either has no time.
double SecondsApart(const LoggedContact &a, const LoggedContact &b)
{
    if (!a.time.isValid() || !b.time.isValid())
        return 0;
    return std::abs(double(a.time.secsTo(b.time)));
}

bool SameValue(const QString &source, const QString &stored)
{
    const QString a = source.trimmed();
    const QString b = stored.trimmed();
    bool aIsNumber = false;
    bool bIsNumber = false;
    const qlonglong aNumber = a.toLongLong(&aIsNumber);
    const qlonglong bNumber = b.toLongLong(&bIsNumber);
    if (aIsNumber && bIsNumber)
        return aNumber == bNumber;
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString FrequencyText(double mhz)
{
    return mhz > 0 ? QString::number(mhz, 'g', 12) : QString();
}

// The fields of the list that STORED holds in any contact.
QStringList FieldsKept(const QList<LoggedContact> &stored, const QStringList &fields)
{
    QStringList kept;
    for (const QString &field : fields) {
        const bool held = std::any_of(stored.begin(), stored.end(), [&](const LoggedContact &contact) {
            return field == kFrequencyField ? contact.mhz > 0 : contact.fields.contains(field);
        });
        if (held)
            kept.append(field);
    }
    return kept;
}

QList<LogDiff::FieldChange> ChangedFields(const LoggedContact &source, const LoggedContact &stored,
                                          const QStringList &fields)
{
    QList<LogDiff::FieldChange> changes;
    for (const QString &field : fields) {
        if (field == kFrequencyField) {
            if (source.mhz > 0 && std::abs(source.mhz - stored.mhz) > LogDiff::kFrequencyToleranceMhz)
                changes.append({field, FrequencyText(source.mhz), FrequencyText(stored.mhz)});
            continue;
        }
        const QString value = source.fields.value(field);
        if (!value.isEmpty() && !SameValue(value, stored.fields.value(field)))
            changes.append({field, value, stored.fields.value(field)});
    }
    return changes;
}

} // namespace

const QStringList &LogDiff::DefaultFields()
{
    static const QStringList fields = {
        kFrequencyField, QStringLiteral("RST_SENT"), QStringLiteral("RST_RCVD"), QStringLiteral("STX"),
        QStringLiteral("SRX"), QStringLiteral("STX_STRING"), QStringLiteral("SRX_STRING"), QStringLiteral("CQZ"),
        QStringLiteral("ITUZ"), QStringLiteral("NAME"), QStringLiteral("STATE"), QStringLiteral("PRECEDENCE"),
        QStringLiteral("CHECK"), QStringLiteral("ARRL_SECT"), QStringLiteral("CLASS"),
    };
    return fields;
}

LogDiff::Result LogDiff::Compare(const QList<LoggedContact> &source, const QList<LoggedContact> &stored,
                                 const Options &options)
{
    const double toleranceSeconds = options.minutes * 60.0;
    QHash<QString, QList<int>> storedByKey; // positions in stored, in file order
    for (int i = 0; i < stored.size(); ++i)
        storedByKey[Key(stored[i])].append(i);
    const QStringList fields = FieldsKept(stored, options.fields);

    Result result;
    QList<int> matchOf(stored.size(), -1); // the source position each stored contact was taken by
    for (int s = 0; s < source.size(); ++s) {
        int best = -1;
        double bestSeconds = std::numeric_limits<double>::infinity();
        for (int candidate : storedByKey.value(Key(source[s]))) {
            const double seconds = SecondsApart(source[s], stored[candidate]);
            if (matchOf[candidate] < 0 && seconds <= toleranceSeconds && seconds < bestSeconds) {
                best = candidate;
                bestSeconds = seconds;
            }
        }
        if (best < 0) {
            result.missing.append(&source[s]);
            continue;
        }
        matchOf[best] = s;
        ++result.matched;
        const QList<FieldChange> changes = ChangedFields(source[s], stored[best], fields);
        if (!changes.isEmpty())
            result.changed.append({&source[s], &stored[best], changes});
    }

    for (int i = 0; i < stored.size(); ++i) {
        if (matchOf[i] >= 0)
            continue;
        Extra extra{&stored[i]};
        for (int other : storedByKey.value(Key(stored[i]))) {
            if (matchOf[other] >= 0 && SecondsApart(stored[i], stored[other]) <= toleranceSeconds) {
                extra.doubles = &stored[other];
                extra.doublesSource = &source[matchOf[other]];
                break;
            }
        }
        result.extra.append(extra);
    }
    return result;
}

QString LogDiff::Describe(const LoggedContact &contact)
{
    const QString time = contact.time.isValid() ? contact.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                                : QStringLiteral("(no time)");
    return QStringLiteral("%1 %2 %3 %4")
        .arg(contact.call.isEmpty() ? QStringLiteral("(no call)") : contact.call,
             contact.band.isEmpty() ? QStringLiteral("(no band)") : contact.band,
             contact.mode.isEmpty() ? QStringLiteral("(no mode)") : contact.mode, time);
}
