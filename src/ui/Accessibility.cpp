// SPDX-License-Identifier: GPL-3.0-or-later
#include "Accessibility.h"

#include "ContestTimeline.h"
#include "CountLabel.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <limits>

namespace {

// A count label: a static text whose value is its count (0 while it shows none).
class CountLabelAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit CountLabelAccessible(CountLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return Label()->text();
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return Label()->text().toInt(); }
    void setCurrentValue(const QVariant &) override {} // shown, never set from outside
    QVariant maximumValue() const override { return std::numeric_limits<int>::max(); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    const CountLabel *Label() const { return static_cast<const CountLabel *>(widget()); }
};

// A drop-down list given an accessible name: Qt names a drop-down list on
// Linux by its current row, so its name would not say what it chooses. This
// one is named by its accessible name, its value is the current row, and its
// child is the list that opens.
class NamedComboBoxAccessible : public QAccessibleWidget {
public:
    explicit NamedComboBoxAccessible(QComboBox *comboBox) : QAccessibleWidget(comboBox, QAccessible::ComboBox)
    {
        addControllingSignal(QStringLiteral("currentIndexChanged(int)"));
    }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return ComboBox()->currentText();
        return QAccessibleWidget::text(type);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(ComboBox()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == ComboBox()->view() ? 0 : -1;
    }

    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString &actionName) override
    {
        if (actionName == showMenuAction())
            ComboBox()->showPopup();
    }

private:
    QComboBox *ComboBox() const { return static_cast<QComboBox *>(widget()); }
};

// A top-level window whose class derives straight from QWidget.
bool IsPlainWindow(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return false;
    const auto *widget = static_cast<QWidget *>(object);
    const QMetaObject *meta = widget->metaObject();
    return widget->isWindow() && className == QLatin1String(meta->className())
        && meta->superClass() == &QWidget::staticMetaObject;
}

QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    if (IsPlainWindow(className, object))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    if (className == QLatin1String(ContestTimeline::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Chart);
    if (className == QLatin1String(CountLabel::staticMetaObject.className()))
        return new CountLabelAccessible(static_cast<CountLabel *>(object));
    if (className == QLatin1String("QComboBox") && !static_cast<QComboBox *>(object)->accessibleName().isEmpty())
        return new NamedComboBoxAccessible(static_cast<QComboBox *>(object));
    return nullptr;
}

} // namespace

namespace Accessibility {

void Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

} // namespace Accessibility
