// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/ArdenixHarness.h"

#include <QApplication>

namespace {

// Columns 1, 2, 4 and 5 take ADIF data; column 3 does not.
const QByteArray kColumns = "CALL\tCall\t5\nNAME\tName\t6\nX_NOTE\tNote\t2\nSTATE\tQTH\t6\nSRX\tRcvd\t6\n";

const QByteArray kRecords =
    AdifRecord("K1ABC", "20261128", "120000", "CW", "7.025",
               AdifField("STATE", "MA") + AdifField("SRX", "155") + AdifField("SRX_STRING", "MA155") + AdifField("CQZ", "5"))
    + AdifRecord("W2XYZ", "20261128", "120001", "CW", "7.026",
                 AdifField("STATE", "NJ") + AdifField("SRX", "50") + AdifField("SRX_STRING", "NJ50") + AdifField("CQZ", "5"));

const QStringList kCandidates = {"default", "CALL", "QSO_DATE", "TIME_ON", "MODE", "FREQ",
                                 "STATE", "SRX", "SRX_STRING", "CQZ"};

QListWidget *Columns(frmFieldEdit &dialog) { return dialog.findChild<QListWidget *>(QStringLiteral("lstEWFields")); }
QListWidget *Candidates(frmFieldEdit &dialog) { return dialog.findChild<QListWidget *>(QStringLiteral("lstCandidates")); }

// Selects column row c, then chooses candidate row k for it.
void Assign(frmFieldEdit &dialog, int column, int candidate)
{
    ClickRow(Columns(dialog), column);
    ClickRow(Candidates(dialog), candidate);
}

void ClickButton(frmFieldEdit &dialog, const char *name)
{
    QTest::mouseClick(dialog.findChild<QPushButton *>(QString::fromLatin1(name)), Qt::LeftButton);
}

std::shared_ptr<clsEntry> Entry(int16_t column, const QString &adifName, const QString &title)
{
    auto entry = std::make_shared<clsEntry>();
    entry->AdifName = adifName;
    entry->EntryWindowIndex = column;
    entry->EntryWindowTitle = title;
    return entry;
}

QList<std::shared_ptr<clsEntry>> Items(const EntryCollection &collection)
{
    QList<std::shared_ptr<clsEntry>> items;
    for (const std::shared_ptr<clsEntry> &entry : collection)
        items << entry;
    return items;
}

QStringList Describe(const EntryCollection &collection)
{
    QStringList entries;
    for (const std::shared_ptr<clsEntry> &entry : collection)
        entries << QStringLiteral("%1 %2 %3").arg(entry->EntryWindowIndex).arg(entry->AdifName, entry->EntryWindowTitle);
    return entries;
}

} // namespace

// "Customize Fields..." and its dialog, against the stand-in logger with a
// column set of the test's own.
class TestMapping : public QObject {
    Q_OBJECT

    // A window on a chosen log, with the logger running.
    void Open(ArdenixHarness &h)
    {
        const QString columns = h.WriteTestFile(QStringLiteral("columns.txt"), kColumns);
        QVERIFY(h.StartLogger({QStringLiteral("--columns"), columns}));
        h.ChooseFile(h.WriteLog(kRecords));
    }

private slots:
    void cleanup() { frmFieldEdit::SetCodeSelectionsRaiseClicks(true); }

    void openingListsColumnsWithTheirFields()
    {
        ArdenixHarness h;
        Open(h);
        QStringList columns, candidates;
        QList<int> values;
        int selections = 0;
        h.OnDialog([&](frmFieldEdit &dialog) {
            columns = Rows(Columns(dialog));
            candidates = Rows(Candidates(dialog));
            for (int i = 0; i < Columns(dialog)->count(); ++i)
                values << Columns(dialog)->item(i)->data(Qt::UserRole).toInt();
            selections = Columns(dialog)->selectedItems().size() + Candidates(dialog)->selectedItems().size();
            // Showing it again (minimised and restored) fills nothing twice.
            dialog.hide();
            dialog.show();
            QCOMPARE(Columns(dialog)->count(), 4);
            QCOMPARE(Candidates(dialog)->count(), kCandidates.size());
        });
        h.Click("btnSetFields");
        QCOMPARE(h.DialogsOpened(), 1);
        QCOMPARE(columns, (QStringList{"Call->\tCALL", "Name->\tNAME", "QTH->\tSTATE", "Rcvd->\tSRX"}));
        QCOMPARE(values, (QList<int>{1, 2, 4, 5}));
        QCOMPARE(candidates, kCandidates);
        QCOMPARE(selections, 0);
        // The first use after a file choice makes the default mapping.
        QCOMPARE(Describe(*h.Window().Mapping().m_FieldPropertyNames),
                 (QStringList{"1 CALL Call", "2 NAME Name", "4 STATE QTH", "5 SRX Rcvd"}));
    }

    // The outcome is the same whether selections made in code reach the
    // handlers as clicks or not.
    void editingAndOk_data()
    {
        QTest::addColumn<bool>("codeSelectionsRaiseClicks");
        QTest::newRow("code selections raise clicks") << true;
        QTest::newRow("code selections raise nothing") << false;
    }
    void editingAndOk()
    {
        QFETCH(bool, codeSelectionsRaiseClicks);
        frmFieldEdit::SetCodeSelectionsRaiseClicks(codeSelectionsRaiseClicks);
        ArdenixHarness h;
        Open(h);
        QList<std::shared_ptr<clsEntry>> before;
        h.OnDialog([&](frmFieldEdit &dialog) {
            before = Items(*h.Window().Mapping().m_FieldPropertyNames);
            // A candidate clicked with no column selected stays highlighted and changes nothing.
            ClickRow(Candidates(dialog), 9);
            QCOMPARE(SelectedRow(Candidates(dialog)), 9);
            QCOMPARE(Rows(Columns(dialog)).at(1), QStringLiteral("Name->\tNAME"));

            // A column shows its field, or "default" when the file lacks it.
            ClickRow(Columns(dialog), 2);
            QCOMPARE(SelectedRow(Candidates(dialog)), 6); // STATE
            ClickRow(Columns(dialog), 1);
            QCOMPARE(SelectedRow(Candidates(dialog)), 0); // NAME is not in the file

            ClickRow(Candidates(dialog), 9); // Name gets CQZ
            QCOMPARE(Rows(Columns(dialog)).at(1), QStringLiteral("Name->\tCQZ"));
            QCOMPARE(SelectedRow(Columns(dialog)), -1);
            QCOMPARE(SelectedRow(Candidates(dialog)), -1);
            ClickRow(Candidates(dialog), 3); // no column selected after an assignment
            QCOMPARE(Rows(Columns(dialog)).at(1), QStringLiteral("Name->\tCQZ"));

            Assign(dialog, 2, 0); // QTH gets "default"
            ClickRow(Columns(dialog), 1);
            QCOMPARE(SelectedRow(Candidates(dialog)), 9); // CQZ, its field now
            ClickRow(Candidates(dialog), 8); // Name again, now SRX_STRING
            QCOMPARE(Rows(Columns(dialog)),
                     (QStringList{"Call->\tCALL", "Name->\tSRX_STRING", "QTH->\tdefault", "Rcvd->\tSRX"}));
            QCOMPARE(Columns(dialog)->item(1)->data(Qt::UserRole).toInt(), 2);
            ClickButton(dialog, "btnOK");
        });
        h.Click("btnSetFields");
        QVERIFY(h.Errors().isEmpty());

        // Replaced entries follow the others, in the order of their last replacement.
        const QList<std::shared_ptr<clsEntry>> after = Items(*h.Window().Mapping().m_FieldPropertyNames);
        QCOMPARE(Describe(*h.Window().Mapping().m_FieldPropertyNames),
                 (QStringList{"1 CALL Call", "5 SRX Rcvd", "4 default QTH", "2 SRX_STRING Name"}));
        QCOMPARE(after.at(0), before.at(0));
        QCOMPARE(after.at(1), before.at(3));
        QCOMPARE(before.at(1)->AdifName, QStringLiteral("NAME")); // replaced, never changed
        QCOMPARE(h.Window().Mapping().m_FieldPropertyNames->Item(QStringLiteral("2"))->AdifName, QStringLiteral("SRX_STRING"));

        // A replay fills the columns in the edited order.
        h.Click("btnGo");
        QVERIFY(h.Tick());
        QStringList filled;
        for (const LoggerCall &call : h.Calls())
            if (call.member == QLatin1String("SetFieldN"))
                filled << QStringLiteral("%1=%2").arg(call.args.at(0).toInt()).arg(call.args.at(1).toString());
        QCOMPARE(filled, (QStringList{"1=K1ABC", "5=155", "2=MA155"}));
    }

    void cancelAndCloseKeepTheMapping_data()
    {
        QTest::addColumn<bool>("byCancel");
        QTest::newRow("Cancel") << true;
        QTest::newRow("title-bar close") << false;
    }
    void cancelAndCloseKeepTheMapping()
    {
        QFETCH(bool, byCancel);
        ArdenixHarness h;
        Open(h);
        h.OnDialog([](frmFieldEdit &dialog) { dialog.reject(); });
        h.Click("btnSetFields");
        const std::shared_ptr<EntryCollection> mapping = h.Window().Mapping().m_FieldPropertyNames;
        const QList<std::shared_ptr<clsEntry>> items = Items(*mapping);

        QStringList reopened;
        h.OnDialog([&](frmFieldEdit &dialog) {
            Assign(dialog, 0, 9);
            Assign(dialog, 3, 2);
            if (byCancel)
                ClickButton(dialog, "btnCancel");
            else
                dialog.close();
            QVERIFY(!dialog.isVisible());
        });
        h.Click("btnSetFields");
        QCOMPARE(h.Window().Mapping().m_FieldPropertyNames, mapping);
        QCOMPARE(Items(*mapping), items);

        h.OnDialog([&](frmFieldEdit &dialog) { reopened = Rows(Columns(dialog)); });
        h.Click("btnSetFields");
        QCOMPARE(reopened, (QStringList{"Call->\tCALL", "Name->\tNAME", "QTH->\tSTATE", "Rcvd->\tSRX"}));
    }

    void okWithoutEditsGivesTheSameEntriesInAFreshCollection()
    {
        ArdenixHarness h;
        Open(h);
        h.OnDialog([](frmFieldEdit &dialog) { ClickButton(dialog, "btnOK"); });
        h.Click("btnSetFields");
        const std::shared_ptr<EntryCollection> mapping = h.Window().Mapping().m_FieldPropertyNames;
        h.Click("btnSetFields");
        QVERIFY(h.Window().Mapping().m_FieldPropertyNames != mapping);
        QCOMPARE(Items(*h.Window().Mapping().m_FieldPropertyNames), Items(*mapping));
        QCOMPARE(h.Window().Mapping().m_FieldPropertyNames->Item(QStringLiteral("4")), mapping->Item(QStringLiteral("4")));
    }

    // The logger's column set changed after the mapping was made.
    void columnsTheLoggerNoLongerListsOrRetitled()
    {
        ArdenixHarness h;
        Open(h);
        auto mapping = std::make_shared<EntryCollection>();
        mapping->Add(Entry(1, QStringLiteral("CALL"), QStringLiteral("Old title")), QStringLiteral("1"));
        mapping->Add(Entry(9, QStringLiteral("GRIDSQUARE"), QStringLiteral("Grid")), QStringLiteral("9"));
        mapping->Add(Entry(4, QStringLiteral("STATE"), QStringLiteral("QTH")), QStringLiteral("4"));
        h.Window().Mapping().m_FieldPropertyNames = mapping;

        QStringList opened, assigned;
        h.OnDialog([&](frmFieldEdit &dialog) {
            opened = Rows(Columns(dialog));
            Assign(dialog, 0, 9);
            assigned = Rows(Columns(dialog));
            ClickButton(dialog, "btnOK");
        });
        h.Click("btnSetFields");
        QCOMPARE(opened, (QStringList{"Call->\tCALL", "QTH->\tSTATE"}));
        QCOMPARE(assigned, (QStringList{"Old title->\tCQZ", "QTH->\tSTATE"}));
        QCOMPARE(Describe(*h.Window().Mapping().m_FieldPropertyNames),
                 (QStringList{"9 GRIDSQUARE Grid", "4 STATE QTH", "1 CQZ Old title"}));
    }

    // Names are compared exactly: "Call" is not the file's CALL, and the
    // column given "default" does not find the file's field named default.
    void fieldNamesCompareWithLetterCase()
    {
        ArdenixHarness h;
        const QString columns = h.WriteTestFile(QStringLiteral("columns.txt"), kColumns);
        QVERIFY(h.StartLogger({QStringLiteral("--columns"), columns}));
        h.ChooseFile(h.WriteLog(AdifRecord("K1ABC", "20261128", "120000", "CW", "7.025", AdifField("default", "x"))));
        auto mapping = std::make_shared<EntryCollection>();
        mapping->Add(Entry(1, QStringLiteral("Call"), QStringLiteral("Call")), QStringLiteral("1"));
        mapping->Add(Entry(4, QStringLiteral("default"), QStringLiteral("QTH")), QStringLiteral("4"));
        h.Window().Mapping().m_FieldPropertyNames = mapping;
        QList<int> shown;
        QStringList candidates;
        h.OnDialog([&](frmFieldEdit &dialog) {
            candidates = Rows(Candidates(dialog));
            for (int row = 0; row < 2; ++row) {
                ClickRow(Columns(dialog), row);
                shown << SelectedRow(Candidates(dialog));
            }
        });
        h.Click("btnSetFields");
        QVERIFY(candidates.contains(QStringLiteral("CALL")));
        QVERIFY(candidates.contains(QStringLiteral("DEFAULT")));
        QCOMPARE(shown, (QList<int>{0, 0}));
    }

    void loggerNotRunning()
    {
        ArdenixHarness h;
        Open(h);
        h.OnDialog([](frmFieldEdit &dialog) { ClickButton(dialog, "btnOK"); });
        h.Click("btnSetFields");
        const std::shared_ptr<EntryCollection> mapping = h.Window().Mapping().m_FieldPropertyNames;
        const std::shared_ptr<EntryCollection> columns = h.Window().Mapping().m_VantrelEntryColumns;
        h.StopLogger();

        h.Click("btnSetFields");
        QCOMPARE(h.Messages(), QStringList{"Ardenix: Vantrel is not running!"});
        QCOMPARE(h.DialogsOpened(), 1);
        QCOMPARE(h.Window().Mapping().m_FieldPropertyNames, mapping);
        QCOMPARE(h.Window().Mapping().m_VantrelEntryColumns, columns);
        QStringList names;
        for (const QString &name : *h.Window().Mapping().m_CandidateNames)
            names << name;
        QCOMPARE(names, kCandidates.mid(1));
    }

    // The dialog stops no playback: it goes on, from the file's first record.
    void customizeDuringPlayback()
    {
        ArdenixHarness h;
        Open(h);
        h.Click("btnGo");
        QVERIFY(h.Tick());
        QCOMPARE(h.CountOf(QStringLiteral("EnterQso")), 1);
        h.OnDialog([&](frmFieldEdit &dialog) {
            Assign(dialog, 0, 9); // not in force before "OK"
            QVERIFY(h.Tick());
            ClickButton(dialog, "btnOK");
        });
        h.Click("btnSetFields");
        QVERIFY(h.Tick());
        QStringList firstColumn;
        for (const LoggerCall &call : h.Calls())
            if (call.member == QLatin1String("SetFieldN") && call.args.at(0).toInt() == 1)
                firstColumn << call.args.at(1).toString();
        QCOMPARE(firstColumn, (QStringList{"K1ABC", "K1ABC", "5"}));
        QVERIFY(h.Errors().isEmpty());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestMapping test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mapping.moc"
