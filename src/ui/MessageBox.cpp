#include "MessageBox.h"

#include <QMessageBox>

namespace MessageBox {

namespace {

Hook &CurrentHook()
{
    static Hook hook;
    return hook;
}

} // namespace

void SetHook(Hook hook) { CurrentHook() = std::move(hook); }

void Show(QWidget *owner, const QString &text, const QString &caption)
{
    if (CurrentHook()) {
        CurrentHook()(text, caption);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace MessageBox
