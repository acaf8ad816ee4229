// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchStart.h"

#include "DrivenWindow.h"

#include <QApplication>

#include <cstdio>

BenchStart::BenchStart(int &argc, char **argv, Kind kind, const QString &description)
{
    if (kind == Kind::Window) {
        OffscreenWithoutDisplay();
        m_App = std::make_unique<QApplication>(argc, argv);
    } else {
        m_App = std::make_unique<QCoreApplication>(argc, argv);
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    m_Parser.setApplicationDescription(description);
    m_Parser.addHelpOption();
}

BenchStart::~BenchStart() = default;

void BenchStart::AddNumber(const QString &name, const QString &help, int defaultValue, int lowest)
{
    m_Parser.addOption({name, QStringLiteral("%1 Default %2.").arg(help).arg(defaultValue), QStringLiteral("N"),
                        QString::number(defaultValue)});
    m_Numbers.append({name, lowest});
}

void BenchStart::AddText(const QString &name, const QString &valueName, const QString &help,
                         const QString &defaultValue)
{
    m_Parser.addOption({name, help, valueName, defaultValue});
}

void BenchStart::AddFlag(const QString &name, const QString &help)
{
    m_Parser.addOption({name, help});
}

void BenchStart::AddArgument(const QString &name, const QString &help)
{
    m_Parser.addPositionalArgument(name, help, QStringLiteral("[%1]").arg(name));
    ++m_Arguments;
}

bool BenchStart::Parse()
{
    if (!m_Parser.parse(QCoreApplication::arguments()))
        return Refuse(m_Parser.errorText());
    if (m_Parser.isSet(QStringLiteral("help")))
        m_Parser.showHelp(0); // exits
    if (m_Parser.positionalArguments().size() > m_Arguments)
        return Refuse(QStringLiteral("unexpected argument '%1'").arg(m_Parser.positionalArguments().at(m_Arguments)));
    for (const NumberLimit &number : std::as_const(m_Numbers)) {
        bool isNumber = false;
        const int value = m_Parser.value(number.name).toInt(&isNumber);
        if (!isNumber || value < number.lowest)
            return Refuse(QStringLiteral("--%1 %2: expected a whole number of at least %3")
                              .arg(number.name, m_Parser.value(number.name))
                              .arg(number.lowest));
    }
    return true;
}

bool BenchStart::Refuse(const QString &problem) const
{
    std::fprintf(stderr, "%s: %s\n\n%s", qPrintable(QCoreApplication::applicationName()), qPrintable(problem),
                 qPrintable(m_Parser.helpText()));
    return false;
}

int BenchStart::Number(const QString &name) const
{
    return m_Parser.value(name).toInt();
}
