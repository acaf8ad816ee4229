// SPDX-License-Identifier: GPL-3.0-or-later
// ardenix-conv: applies Ardenix's number, text and date conventions to values
// given on the command line and prints the result, or the error they raise.
#include "DateSerial.h"
#include "Numbers.h"
#include "RuntimeError.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <map>

namespace {

const char kUsage[] =
    "usage: ardenix-conv OPERATION VALUES...\n"
    "  int16 D | int32 D          a double (as C reads it) to an integer, half to even\n"
    "  text-int16 T | text-int32 T | text-double T\n"
    "                             text converted as a variant from the logger or reader\n"
    "  text-of-double D           a double as text\n"
    "  add16 A B | add32 A B | sub32 A B\n"
    "                             integer arithmetic that watches its range\n"
    "  date Y M D | time H M S    date and time serials in days since 1899-12-30\n";

double ParseDouble(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        throw std::invalid_argument("not a number: " + text.toStdString());
    return value;
}

int ParseInt(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        throw std::invalid_argument("not an integer: " + text.toStdString());
    return value;
}

using Operation = std::function<QString(const QStringList &)>;

const std::map<QString, std::pair<int, Operation>> &Operations()
{
    using namespace Numbers;
    static const std::map<QString, std::pair<int, Operation>> operations = {
        {"int16", {1, [](const QStringList &a) { return DecimalText(ToInt16(ParseDouble(a[0]))); }}},
        {"int32", {1, [](const QStringList &a) { return DecimalText(ToInt32(ParseDouble(a[0]))); }}},
        {"text-int16", {1, [](const QStringList &a) { return DecimalText(VariantToInt16(a[0])); }}},
        {"text-int32", {1, [](const QStringList &a) { return DecimalText(VariantToInt32(a[0])); }}},
        {"text-double", {1, [](const QStringList &a) { return QString::number(VariantToDouble(a[0]), 'g', 17); }}},
        {"text-of-double", {1, [](const QStringList &a) { return VariantToText(ParseDouble(a[0])); }}},
        {"add16", {2, [](const QStringList &a) {
             return DecimalText(Add16(ToInt16(ParseInt(a[0])), ToInt16(ParseInt(a[1]))));
         }}},
        {"add32", {2, [](const QStringList &a) { return DecimalText(Add32(ParseInt(a[0]), ParseInt(a[1]))); }}},
        {"sub32", {2, [](const QStringList &a) { return DecimalText(Sub32(ParseInt(a[0]), ParseInt(a[1]))); }}},
        {"date", {3, [](const QStringList &a) {
             return QString::number(DateSerial::Date(ParseInt(a[0]), ParseInt(a[1]), ParseInt(a[2])), 'g', 17);
         }}},
        {"time", {3, [](const QStringList &a) {
             return QString::number(DateSerial::Time(ParseInt(a[0]), ParseInt(a[1]), ParseInt(a[2])), 'g', 17);
         }}},
    };
    return operations;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const auto found = args.isEmpty() ? Operations().end() : Operations().find(args.first());
    if (found == Operations().end() || args.size() - 1 != found->second.first) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        std::printf("%s\n", qPrintable(found->second.second(args.mid(1))));
        return 0;
    } catch (const RuntimeError &error) {
        std::printf("error %d: %s\n", error.number(), qPrintable(error.description()));
        return 1;
    } catch (const std::invalid_argument &error) {
        std::fprintf(stderr, "ardenix-conv: %s\n%s", error.what(), kUsage);
        return 2;
    }
}
