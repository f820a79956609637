#pragma once

#include "table/steplist.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace talvex::testing {

/// A step list that keeps what it is given, in the order the main window's list view
/// would show it, so tests can read back the mirror the table code built.
class RecordingStepList : public StepList
{
public:
    struct Item
    {
        int position;
        QString text;
        int icon;
        QStringList subItems;
    };

    /// The items in list order: each one was inserted at its position, as in the view.
    QList<Item> items;
    /// Calls of clearItems(); every rebuild of the list starts with one.
    int rebuilds = 0;

    void clearItems() override;
    void addItem(int position, const QString &text, int icon, const QStringList &subItems) override;
    void showSubItems(int position, const QStringList &subItems) override;
};

} // namespace talvex::testing
