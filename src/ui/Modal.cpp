#include "Modal.h"

#include <QDialog>

namespace Modal {

namespace {

Hook &CurrentHook()
{
    static Hook hook;
    return hook;
}

} // namespace

void SetHook(Hook hook) { CurrentHook() = std::move(hook); }

int Exec(QDialog &dialog)
{
    if (!CurrentHook())
        return dialog.exec();
    dialog.show();
    CurrentHook()(dialog);
    if (dialog.isVisible())
        dialog.reject();
    return dialog.result();
}

} // namespace Modal
