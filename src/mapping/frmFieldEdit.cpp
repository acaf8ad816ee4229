// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmFieldEdit.h"

#include "Accessibility.h"
#include "ErrorGuard.h"
#include "Flags.h"
#include "Numbers.h"
#include "Program.h"
#include "Required.h"
#include "ui_frmFieldEdit.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QSignalBlocker>
#include <optional>

namespace {

bool g_CodeSelectionsRaiseClicks = true;

const QString kDefaultField = QStringLiteral("default");

} // namespace

frmFieldEdit::frmFieldEdit(clsMappingModel &model, QWidget *owner)
    : QDialog(owner), ui(std::make_unique<Ui::frmFieldEdit>()), m_Model(model)
{
    Accessibility::Install();
    ui->setupUi(this);
    setWindowIcon(Program::Icon());
    // A sizable frame with close, minimise and maximise; the controls keep
    // their places and sizes whatever the size.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    // The window system places the dialog as it places any new window: a
    // dialog that counts as moved is not centred over its owner.
    create();
    setAttribute(Qt::WA_Moved);
    ui->btnOK->setFocus();
}

frmFieldEdit::~frmFieldEdit() = default;

void frmFieldEdit::SetCodeSelectionsRaiseClicks(bool on) { g_CodeSelectionsRaiseClicks = on; }

// The dialog fills itself once per opening, however often it is activated.
void frmFieldEdit::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_Opened)
        return;
    m_Opened = true;
    ErrorGuard::Guarded([this] { Form_Activate(); });
}

// Escape does not close the dialog; Enter reaches the default button "OK".
void frmFieldEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        return;
    QDialog::keyPressEvent(event);
}

void frmFieldEdit::Form_Activate()
{
    m_Syncing = kFlagOff;

    m_Working = std::make_shared<EntryCollection>();
    for (const std::shared_ptr<clsEntry> &entry : Required(m_Model.m_FieldPropertyNames))
        m_Working->Add(entry, EntryKey(entry->EntryWindowIndex));

    // A row for each listed column that has an entry: the title as the
    // logger gives it now, the field as the mapping has it.
    for (const std::shared_ptr<clsEntry> &column : Required(m_Model.m_VantrelEntryColumns)) {
        const QString key = EntryKey(column->EntryWindowIndex);
        if (!m_Working->Contains(key))
            continue;
        ui->lstEWFields->addItem(NewColumnRow(column->EntryWindowTitle, m_Working->Item(key)->AdifName,
                                              column->EntryWindowIndex));
    }

    ui->lstCandidates->clear();
    ui->lstCandidates->addItem(kDefaultField);
    for (const QString &name : Required(m_Model.m_CandidateNames))
        ui->lstCandidates->addItem(name);
}

// Selecting a column selects the candidate row of its field, or "default"
// when the file has no field of that exact name.
void frmFieldEdit::lstEWFields_Click()
{
    ErrorGuard::Guarded([this] {
        const int selected = SelectedRow(ui->lstEWFields);
        if (selected < 0) {
            SelectRow(ui->lstCandidates, -1);
            return;
        }
        const std::shared_ptr<clsEntry> &entry = m_Working->Item(Numbers::DecimalText(ItemValue(selected)));
        int32_t row = 1;
        for (const QString &name : Required(m_Model.m_CandidateNames)) {
            if (entry->AdifName == name)
                break;
            row = Numbers::Add32(row, 1);
        }
        if (row > ui->lstCandidates->count() - 1)
            row = 0;
        m_Syncing = kFlagOn;
        SelectRow(ui->lstCandidates, row);
        m_Syncing = kFlagOff;
    });
}

// Choosing a candidate gives the selected column that field: the column's
// entry is replaced by a new one at the end of the working copy, and its row
// shows the new field in its old place. Neither list keeps a selection.
void frmFieldEdit::lstCandidates_Click()
{
    ErrorGuard::Guarded([this] {
        if (m_Syncing)
            return;
        const int selected = SelectedRow(ui->lstEWFields);
        if (selected < 0)
            return;
        // A candidate row deselected (Ctrl+click) is no choice of a field.
        const int chosen = SelectedRow(ui->lstCandidates);
        if (chosen < 0)
            return;
        const int32_t column = ItemValue(selected);

        int32_t position = 0;
        std::shared_ptr<clsEntry> old;
        for (int32_t p = 1; p <= m_Working->Count(); ++p) {
            if (m_Working->Item(p)->EntryWindowIndex == column) {
                position = p;
                old = m_Working->Item(p);
                break;
            }
        }
        if (!old)
            throw RuntimeError::ObjectNotSet();

        auto replacement = std::make_shared<clsEntry>();
        replacement->EntryWindowIndex = Numbers::ToInt16(column);
        replacement->AdifName = ui->lstCandidates->item(chosen)->text();
        replacement->EntryWindowTitle = old->EntryWindowTitle;

        {
            // Taking the row out and putting it back is no selection by the user.
            const QSignalBlocker blocker(ui->lstEWFields);
            delete ui->lstEWFields->takeItem(selected);
            ui->lstEWFields->setCurrentRow(-1);
            ui->lstEWFields->clearSelection();
        }
        m_Working->Remove(position);
        m_Working->Add(replacement, EntryKey(replacement->EntryWindowIndex));
        {
            const QSignalBlocker blocker(ui->lstEWFields);
            ui->lstEWFields->insertItem(
                selected, NewColumnRow(replacement->EntryWindowTitle, replacement->AdifName, column));
        }
        SelectRow(ui->lstCandidates, -1);
    });
}

void frmFieldEdit::btnOK_Click()
{
    ErrorGuard::Guarded([this] {
        auto mapping = std::make_shared<EntryCollection>();
        for (const std::shared_ptr<clsEntry> &entry : *m_Working)
            mapping->Add(entry, EntryKey(entry->EntryWindowIndex));
        m_Model.m_FieldPropertyNames = mapping;
        accept();
    });
}

void frmFieldEdit::btnCancel_Click()
{
    ErrorGuard::Guarded([this] { reject(); });
}

// ---- Helpers ----

// "Title->", a tab, the field's name; read out as "Title: field". The item
// value is the column's index in the logger's entry window.
QListWidgetItem *frmFieldEdit::NewColumnRow(const QString &title, const QString &adifName, int32_t column)
{
    auto *row = new QListWidgetItem(title + QStringLiteral("->\t") + adifName);
    row->setData(Qt::AccessibleTextRole, QStringLiteral("%1: %2").arg(title, adifName));
    row->setData(Qt::UserRole, column);
    return row;
}

int frmFieldEdit::SelectedRow(const QListWidget *list)
{
    const QList<QListWidgetItem *> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

void frmFieldEdit::SelectRow(QListWidget *list, int row)
{
    std::optional<QSignalBlocker> blocker;
    if (!g_CodeSelectionsRaiseClicks)
        blocker.emplace(list);
    if (row < 0) {
        list->setCurrentRow(-1);
        list->clearSelection();
    } else {
        list->setCurrentRow(row);
    }
}

int32_t frmFieldEdit::ItemValue(int row) const
{
    return ui->lstEWFields->item(row)->data(Qt::UserRole).toInt();
}
