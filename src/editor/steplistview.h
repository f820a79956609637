#pragma once

#include "table/steplist.h"

#include <QTreeWidget>

namespace talvex {

/// The step list (ListView1): a report view with five columns, the row number with the
/// kind icon under " 行 數 " and columns 1..4 of the row under the other four headers.
/// It only mirrors the table; its items are produced by relistSteps and by the teach
/// dialog's append.
class StepListView : public QTreeWidget, public StepList
{
    Q_OBJECT

public:
    static constexpr int kIconRole = Qt::UserRole + 1;
    /// What the step does in words, and the program check's sentences about it: the
    /// two together make the row's tooltip.
    static constexpr int kDescriptionRole = Qt::UserRole + 2;
    static constexpr int kProblemsRole = Qt::UserRole + 3;

    explicit StepListView(QWidget *parent = nullptr);

    void clearItems() override;
    void addItem(int position, const QString &text, int icon, const QStringList &subItems) override;
    void showSubItems(int position, const QStringList &subItems) override;
    void showItem(int position) override;
    void describeItem(int position, const QString &description) override;
    /// Sets the program check's @p sentences about the item at @p index (0-based);
    /// empty when it has none.
    void setProblemsAt(int index, const QString &sentences);

    /// Selects and shows the item of step @p row (1-based) without choosing it: it is
    /// not an operator's choice, so rowChosen() is not emitted.
    void selectRow(int row);

    /// Icon index of the item at @p index (0-based), -1 when there is none.
    int iconIndexAt(int index) const;

Q_SIGNALS:
    /// The operator chose an item: clicked it, or selected it with the keyboard (arrow
    /// keys, Home/End, Page keys, Space). @p itemText is its row number text.
    void rowChosen(const QString &itemText);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QTreeWidgetItem *selectedRow() const;
    void showToolTip(QTreeWidgetItem *item) const;
};

} // namespace talvex
