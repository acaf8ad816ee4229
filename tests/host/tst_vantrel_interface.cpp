// SPDX-License-Identifier: GPL-3.0-or-later
// Every member that Ardenix calls on the logger is in the interface
// description that both sides implement, on the object Ardenix calls it on
// and with the arguments Ardenix sends. A call missing from the description
// would be refused by any logger built from it, the stand-in included.
//
// The calls are listed here, as src/host/Vantrel.cpp makes them, rather than
// read out of that file: the list stays right however the calls are written
// there, where a reader of C++ text would break, or quietly miss a call,
// when a call is spread over lines or its member name is held in a variable.

#include <QFile>
#include <QHash>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString kInterfaceFile = QStringLiteral(ARDENIX_SOURCE_DIR "/interface/vantrel-automation.xml");

struct Method {
    QString interface;
    QString inSignature;  // the types of its "in" arguments, in order
};

// The methods of the description by name. Empty, with the reason in error, when the file does not read.
QHash<QString, Method> ReadMethods(const QString &path, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return {};
    }
    QHash<QString, Method> methods;
    QXmlStreamReader xml(&file);
    QString interface;
    QString method;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("method"))
            method.clear();
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == QLatin1String("interface")) {
            interface = attributes.value(QLatin1String("name")).toString();
        } else if (xml.name() == QLatin1String("method")) {
            method = attributes.value(QLatin1String("name")).toString();
            methods.insert(method, {interface, QString()});
        } else if (xml.name() == QLatin1String("arg") && !method.isEmpty()
                   && attributes.value(QLatin1String("direction")) != QLatin1String("out")) {
            // A method's argument without a direction is an "in" argument.
            methods[method].inSignature += attributes.value(QLatin1String("type")).toString();
        }
    }
    if (xml.hasError())
        error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return methods;
}

} // namespace

class TestVantrelInterface : public QObject {
    Q_OBJECT

private slots:
    void everyCalledMemberIsInTheInterface_data();
    void everyCalledMemberIsInTheInterface();
};

void TestVantrelInterface::everyCalledMemberIsInTheInterface_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<QString>("interface");
    QTest::addColumn<QString>("inSignature");
    // n: qint16, d: double, s: text, as Ardenix packs its arguments.
    QTest::newRow("GetCurrentEntry") << "GetCurrentEntry" << "vantrel.Document" << "";
    QTest::newRow("GetAdifNameN") << "GetAdifNameN" << "vantrel.Entry" << "n";
    QTest::newRow("GetFieldAttributesN") << "GetFieldAttributesN" << "vantrel.Entry" << "n";
    QTest::newRow("FieldTitle") << "FieldTitle" << "vantrel.Entry" << "n";
    QTest::newRow("ClearEntry") << "ClearEntry" << "vantrel.Entry" << "";
    QTest::newRow("SetFieldN") << "SetFieldN" << "vantrel.Entry" << "ns";
    QTest::newRow("SetLogFrequencyEx") << "SetLogFrequencyEx" << "vantrel.Entry" << "nddn";
    QTest::newRow("EnterQso") << "EnterQso" << "vantrel.Entry" << "";
    QTest::newRow("Dupe") << "Dupe" << "vantrel.Entry" << "";
}

void TestVantrelInterface::everyCalledMemberIsInTheInterface()
{
    QFETCH(QString, member);
    QFETCH(QString, interface);
    QFETCH(QString, inSignature);

    QString error;
    const QHash<QString, Method> methods = ReadMethods(kInterfaceFile, error);
    QVERIFY2(error.isEmpty(), qPrintable(kInterfaceFile + QStringLiteral(": ") + error));
    QVERIFY2(methods.contains(member), qPrintable(member + QStringLiteral(" is not in ") + kInterfaceFile));

    const Method &method = methods[member];
    QCOMPARE(method.interface, interface);
    QVERIFY2(method.inSignature.size() == inSignature.size(),
             qPrintable(QStringLiteral("%1 takes %2 argument(s) in the interface; Ardenix sends %3")
                            .arg(member)
                            .arg(method.inSignature.size())
                            .arg(inSignature.size())));
    QCOMPARE(method.inSignature, inSignature);
}

QTEST_GUILESS_MAIN(TestVantrelInterface)
#include "tst_vantrel_interface.moc"
