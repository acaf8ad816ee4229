// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/FeedContact.h"

QString FeedContact::Field(const QString &adifName) const
{
    const int number = columns.NumberOf(adifName);
    return number == 0 ? QString() : contact.values.value(number - 1);
}

QString FeedContact::FirstField(const QStringList &adifNames) const
{
    for (const QString &name : adifNames) {
        const QString value = Field(name);
        if (!value.isEmpty())
            return value;
    }
    return QString();
}
