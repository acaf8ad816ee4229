#pragma once

#include "clsEntry.h"

#include <QDialog>
#include <cstdint>
#include <memory>

class QListWidget;
class frmArdenix;
namespace Ui {
class frmFieldEdit;
}

// The field mapping dialog: the logger's columns with the ADIF field that
// fills each, and the file's field names to choose from. It edits its own
// working copy of the main window's mapping and hands a fresh mapping back
// on "OK"; "Cancel" or closing the window drops the edits.
class frmFieldEdit : public QDialog {
    Q_OBJECT

public:
    explicit frmFieldEdit(frmArdenix &owner);
    ~frmFieldEdit() override;

    // Whether selections that the dialog makes in code reach the list
    // handlers as clicks, as some toolkits report them; the outcome is the
    // same either way. On by default.
    static void SetCodeSelectionsRaiseClicks(bool on);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void lstEWFields_Click();
    void lstCandidates_Click();
    void btnOK_Click();
    void btnCancel_Click();

private:
    void Form_Activate();

    static QString RowText(const QString &title, const QString &adifName);
    static int SelectedRow(const QListWidget *list);
    static void SelectRow(QListWidget *list, int row);
    int32_t ItemValue(int row) const;

    std::unique_ptr<Ui::frmFieldEdit> ui;
    frmArdenix &m_Owner;
    std::shared_ptr<EntryCollection> m_Working; // the mapping being edited
    int16_t m_Syncing = 0; // set while the dialog itself selects a candidate
    bool m_Opened = false;
};
