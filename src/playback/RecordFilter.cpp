// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordFilter.h"

#include <QRegularExpression>

QString RecordFilter::Transmitter() const
{
    return Field.compare(kTransmitterField, Qt::CaseInsensitive) == 0 ? Value : QString();
}

QString RecordFilter::Caption() const
{
    if (IsAll())
        return QString();
    const QString transmitter = Transmitter();
    if (!transmitter.isEmpty())
        return QStringLiteral("Station %1").arg(transmitter);
    return Field + QLatin1Char('=') + Value;
}

RecordFilter RecordFilter::Station(const QString &transmitter) { return {kTransmitterField, transmitter}; }

std::optional<RecordFilter> RecordFilter::FromText(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([A-Za-z0-9_]+)=(.+)$"),
                                         QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return RecordFilter{match.captured(1), match.captured(2)};
}
