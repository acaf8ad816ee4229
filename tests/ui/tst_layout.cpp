// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/ArdenixHarness.h"
#include "PathLabel.h"
#include "Program.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QSet>

namespace {

// A model for the mapping dialog to show: two columns, both mapped, and two field names.
void FieldEditOver(frmArdenix &window)
{
    auto columns = std::make_shared<EntryCollection>();
    for (int16_t n = 1; n <= 2; ++n) {
        auto column = std::make_shared<clsEntry>();
        column->AdifName = n == 1 ? QStringLiteral("CALL") : QStringLiteral("NAME");
        column->EntryWindowIndex = n;
        column->EntryWindowTitle = n == 1 ? QStringLiteral("Call") : QStringLiteral("Name");
        columns->Add(column, EntryKey(n));
    }
    window.Mapping().m_VantrelEntryColumns = columns;
    window.Mapping().m_FieldPropertyNames = std::make_shared<EntryCollection>(*columns);
    window.Mapping().m_CandidateNames = std::make_shared<NameCollection>();
    window.Mapping().m_CandidateNames->Add(QStringLiteral("CALL"), QStringLiteral("CALL"));
    window.Mapping().m_CandidateNames->Add(QStringLiteral("NAME"), QStringLiteral("NAME"));
}

} // namespace

// The windows as the user meets them: layout in pixels at 96 dpi (the
// design's twips divided by 15), captions, states, focus and keys.
class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void mainWindowFrame()
    {
        ArdenixHarness h;
        frmArdenix &w = h.Window();
        QCOMPARE(w.windowTitle(), QStringLiteral("Vantrel Logging Simulator (v2)"));
        // The design's 390 x 194, and below it the contest area, as tall as its contents need.
        auto *area = w.findChild<QWidget *>(QStringLiteral("fraContest"));
        QCOMPARE(area->geometry().topLeft(), QPoint(0, 194));
        QCOMPARE(w.size(), QSize(390, 194 + area->height()));
        QVERIFY(area->height() >= area->minimumSizeHint().height());
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);

        const QImage icon = w.windowIcon().pixmap(32, 32).toImage();
        QCOMPARE(icon.size(), QSize(32, 32));
        QSet<QRgb> colours;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                colours.insert(icon.pixel(x, y));
        QVERIFY2(colours.size() <= 16, qPrintable(QString::number(colours.size())));
        QVERIFY(colours.size() > 2);
    }

    void mainWindowControls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("lblFileCaption") << "lblFileCaption" << "ADIF source file:" << QRect(8, 8, 129, 17) << true;
        QTest::newRow("lblFileName") << "lblFileName" << "" << QRect(144, 8, 193, 41) << true;
        QTest::newRow("cmdBrowseFile") << "cmdBrowseFile" << "..." << QRect(352, 16, 33, 25) << true;
        QTest::newRow("cmbPlaybackSpeed") << "cmbPlaybackSpeed" << "1X" << QRect(8, 64, 89, 21) << true;
        QTest::newRow("lblCountdown") << "lblCountdown" << "" << QRect(128, 64, 49, 25) << true;
        QTest::newRow("btnNow") << "btnNow" << "Now" << QRect(216, 64, 57, 25) << false;
        QTest::newRow("cmdSkip") << "cmdSkip" << "Skip dupes" << QRect(288, 64, 89, 25) << false;
        QTest::newRow("btnSetFields") << "btnSetFields" << "Customize Fields..." << QRect(240, 128, 145, 25) << true;
        QTest::newRow("btnGo") << "btnGo" << "Go" << QRect(16, 144, 57, 33) << true;
        QTest::newRow("btnPause") << "btnPause" << "Pause" << QRect(88, 144, 57, 33) << false;
    }
    void mainWindowControls()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        QFETCH(bool, enabled);
        ArdenixHarness h;
        QWidget *control = h.Window().findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(control->isEnabled(), enabled);
        QVERIFY(control->isVisible());
        QString text;
        if (auto *label = qobject_cast<QLabel *>(control)) {
            text = label->text();
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
            QVERIFY(label->wordWrap());
            QCOMPARE(label->frameShape(), name == QLatin1String("lblFileName") ? QFrame::Box : QFrame::NoFrame);
        } else if (auto *button = qobject_cast<QPushButton *>(control)) {
            text = button->text();
        } else if (auto *list = qobject_cast<QComboBox *>(control)) {
            text = list->currentText();
        }
        QCOMPARE(text, caption);
    }

    void speedListHoldsOnlyItsFiveRows()
    {
        ArdenixHarness h;
        auto *speeds = h.Control<QComboBox>("cmbPlaybackSpeed");
        QStringList rows;
        for (int i = 0; i < speeds->count(); ++i)
            rows << speeds->itemText(i);
        QCOMPARE(rows, (QStringList{"1X", "2X", "4X", "8X", "5/sec"}));
        QVERIFY(!speeds->isEditable());
        QTest::keyClicks(speeds, QStringLiteral("3X"));
        QVERIFY(rows.contains(speeds->currentText()));
    }

    void timerStartsOffWithOneMillisecond()
    {
        ArdenixHarness h;
        QVERIFY(!h.Timer()->isActive());
        QCOMPARE(h.Timer()->interval(), 1);
        QCOMPARE(h.Timer()->timerType(), Qt::PreciseTimer);
    }

    // The focus starts on "Customize Fields..." and Tab passes over the
    // labels and the disabled buttons.
    void tabOrderAtStartUp()
    {
        ArdenixHarness h;
        frmArdenix &w = h.Window();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QStringList visited;
        for (int i = 0; i < 5; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, (QStringList{"btnSetFields", "cmdBrowseFile", "cmbPlaybackSpeed", "btnGo", "btnSetFields"}));
    }

    // Once a file is chosen, Tab reaches "Skip dupes" and then "Start at", after the design's controls.
    void tabReachesStartAtAfterAFileChoice()
    {
        ArdenixHarness h;
        frmArdenix &w = h.Window();
        w.ChooseFile(h.WriteLog(AdifRecord("K1ABC", "20261128", "120000")));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        h.Button("btnSetFields")->setFocus();
        QStringList visited;
        for (int i = 0; i < 7; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, (QStringList{"btnSetFields", "cmdBrowseFile", "cmbPlaybackSpeed", "btnGo", "cmdSkip",
                                       "txtStartAt", "btnSetFields"}));
    }

    void enterAndSpaceClickTheFocusedButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }
    void enterAndSpaceClickTheFocusedButton()
    {
        QFETCH(int, key);
        ArdenixHarness h;
        frmArdenix &w = h.Window();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        h.Button("cmdBrowseFile")->setFocus();
        QVERIFY(!h.Button("cmdSkip")->isEnabled());
        QTest::keyClick(h.Button("cmdBrowseFile"), Qt::Key(key)); // the file dialog, cancelled
        QVERIFY(h.Button("cmdSkip")->isEnabled());
    }

    // The path label shows what fits: the whole path, else the shortened
    // folder and the whole file name, else the end of the file name.
    void filePathStaysReadable_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shownStart");
        QTest::addColumn<QString>("shownEnd");
        QTest::newRow("short") << "/logs/cqww.adi" << "/logs/cqww.adi" << "/logs/cqww.adi";
        QTest::newRow("deep folders") << "/home/operator/Documents/Contest_Logs/2026/CQ_WorldWide_DX_Contest_CW/K1ABC.adi"
                                      << "/home/" << "K1ABC.adi";
        QTest::newRow("file name longer than the box") << "/tmp/" + QString(200, QLatin1Char('N')) + "_end.adi"
                                        << QString(QChar(0x2026)) << "NNN_end.adi";
    }
    void filePathStaysReadable()
    {
        QFETCH(QString, path);
        QFETCH(QString, shownStart);
        QFETCH(QString, shownEnd);
        ArdenixHarness h;
        auto *label = h.Control<PathLabel>("lblFileName");
        label->setText(path);
        const QStringList lines = label->ShownLines();
        QVERIFY(!lines.isEmpty());
        QVERIFY(lines.size() * label->fontMetrics().lineSpacing() <= label->contentsRect().height());
        for (const QString &line : lines)
            QVERIFY2(label->fontMetrics().horizontalAdvance(line) <= label->contentsRect().width(), qPrintable(line));
        const QString shown = lines.join(QString());
        QVERIFY2(shown.startsWith(shownStart), qPrintable(shown));
        QVERIFY2(shown.endsWith(shownEnd), qPrintable(shown));
        QCOMPARE(label->text(), path);
    }

    // The mapping dialog, opened over a window whose model the test sets.
    void fieldEditDialogLayout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Label1") << "Label1" << "Columns in Vantrel" << QRect(16, 0, 161, 25);
        QTest::newRow("Label2") << "Label2" << "Fields in the ADIF file" << QRect(200, 0, 137, 25);
        QTest::newRow("lstEWFields") << "lstEWFields" << "" << QRect(16, 24, 161, 134);
        QTest::newRow("lstCandidates") << "lstCandidates" << "" << QRect(200, 24, 137, 186);
        // Taller than the design's 49 px: its four lines at the default font.
        QTest::newRow("Label3") << "Label3" << "Click on a column to change the ADIF field the simulator will copy into the column"
                                << QRect(16, 168, 161, 62);
        QTest::newRow("btnOK") << "btnOK" << "OK" << QRect(24, 232, 73, 25);
        QTest::newRow("btnCancel") << "btnCancel" << "Cancel" << QRect(112, 232, 65, 25);
    }
    void fieldEditDialogLayout()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        ArdenixHarness h;
        FieldEditOver(h.Window());
        frmFieldEdit dialog(h.Window().Mapping(), &h.Window());
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select ADIF records to log"));
        QCOMPARE(dialog.size(), QSize(356, 264));
        QVERIFY(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
        QVERIFY(dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!dialog.windowIcon().isNull());
        dialog.resize(600, 500); // nothing follows a resize
        QWidget *control = dialog.findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), geometry);
        if (auto *label = qobject_cast<QLabel *>(control)) {
            QCOMPARE(label->text(), caption);
            QVERIFY(label->wordWrap());
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        } else if (auto *button = qobject_cast<QPushButton *>(control)) {
            QCOMPARE(button->text(), caption);
            QCOMPARE(button->isDefault(), name == QLatin1String("btnOK"));
        }
    }

    void fieldEditDialogKeys()
    {
        ArdenixHarness h;
        FieldEditOver(h.Window());
        const std::shared_ptr<EntryCollection> mapping = h.Window().Mapping().m_FieldPropertyNames;
        frmFieldEdit dialog(h.Window().Mapping(), &h.Window());
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("btnOK"));
        QStringList visited;
        for (int i = 0; i < 5; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, (QStringList{"btnOK", "btnCancel", "lstEWFields", "lstCandidates", "btnOK"}));

        auto *columns = dialog.findChild<QListWidget *>(QStringLiteral("lstEWFields"));
        columns->setFocus();
        QTest::keyClick(columns, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QCOMPARE(h.Window().Mapping().m_FieldPropertyNames, mapping);
        QTest::keyClick(columns, Qt::Key_Return); // "OK", also from a list
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(h.Window().Mapping().m_FieldPropertyNames != mapping);
    }

    // "..." opened again shows the earlier name selected in its name field,
    // so that a name typed there replaces it; Enter chooses the typed file.
    void reopenedFileDialogReplacesTheEarlierName()
    {
        ArdenixHarness h;
        const QString first = h.WriteLog(AdifRecord("K1ABC", "20261128", "120000"), QStringLiteral("first.adi"));
        const QString second = h.WriteLog(AdifRecord("W2XYZ", "20261128", "120000"), QStringLiteral("second.adi"));
        h.Window().ChooseFile(first);
        CommonDialog::SetOpenHook({}); // Qt's own dialog, shown modally
        QString typed;
        QTimer::singleShot(0, [&] {
            auto *dialog = h.Window().findChild<QFileDialog *>();
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            dialog->activateWindow(); // a user's dialog has the keyboard
            QWidget *focused = QTest::qWaitForWindowActive(dialog) ? dialog->focusWidget() : nullptr;
            if (focused)
                QTest::keyClicks(focused, QStringLiteral("second.adi"));
            typed = name->text();
            if (focused == name && typed == QLatin1String("second.adi"))
                QTest::keyClick(name, Qt::Key_Return);
            else
                dialog->reject(); // not as a user would find it: end without choosing
        });
        h.Click("cmdBrowseFile");
        QCOMPARE(typed, QStringLiteral("second.adi"));
        QCOMPARE(h.Control<QLabel>("lblFileName")->text(), second);
    }

    // The "ADIF Files" filter lists .ADI files too, as a Windows filter ignores letter case.
    void adifFilterIgnoresLetterCase()
    {
        QTemporaryDir dir;
        for (const char *name : {"lower.adi", "UPPER.ADI", "notes.txt"})
            QVERIFY(WriteFile(dir.filePath(QString::fromLatin1(name)), "x"));
        CommonDialog settings;
        settings.Filter = QStringLiteral("All Files (*.*)|*.*|ADIF Files (*.adi)|*.adi");
        settings.FilterIndex = 2;
        settings.Flags = 4100;
        settings.FileName = dir.filePath(QStringLiteral("lower.adi"));
        QFileDialog dialog;
        settings.SetUp(dialog);
        QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(dialog.directory().absolutePath(), QDir(dir.path()).absolutePath());
        dialog.show();
        auto *model = dialog.findChild<QFileSystemModel *>();
        QVERIFY(model);
        const QModelIndex folder = model->index(dir.path());
        const auto listed = [&] {
            QStringList names;
            for (int row = 0; row < model->rowCount(folder); ++row)
                names << model->index(row, 0, folder).data().toString();
            names.sort();
            return names;
        };
        QTRY_COMPARE(listed(), (QStringList{"UPPER.ADI", "lower.adi"}));
        dialog.selectNameFilter(settings.NameFilters().at(0));
        QTRY_COMPARE(listed(), (QStringList{"UPPER.ADI", "lower.adi", "notes.txt"}));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestLayout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_layout.moc"
