// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clsMappingModel.h"

#include <QDialog>
#include <cstdint>
#include <memory>

class QListWidget;
class QListWidgetItem;
namespace Ui {
class frmFieldEdit;
}

// The field mapping dialog: the logger's columns with the ADIF field that
// fills each, and the file's field names to choose from. It edits its own
// working copy of the model's mapping and puts a fresh mapping into the
// model on "OK"; "Cancel" or closing the window drops the edits.
class frmFieldEdit : public QDialog {
    Q_OBJECT

public:
    // The dialog shows over owner and works on model, which outlives it.
    frmFieldEdit(clsMappingModel &model, QWidget *owner);
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

    static QListWidgetItem *NewColumnRow(const QString &title, const QString &adifName, int32_t column);
    static int SelectedRow(const QListWidget *list);
    static void SelectRow(QListWidget *list, int row);
    int32_t ItemValue(int row) const;

    std::unique_ptr<Ui::frmFieldEdit> ui;
    clsMappingModel &m_Model;
    std::shared_ptr<EntryCollection> m_Working; // the mapping being edited
    int16_t m_Syncing = 0; // set while the dialog itself selects a candidate
    bool m_Opened = false;
};
