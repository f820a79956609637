#pragma once

#include "check/programcheck.h"

#include <QWidget>

#include <vector>

class QLabel;
class QTreeWidget;

namespace talvex {

class StepListView;

/// The modeless window "程式檢查": what the controller would not take in the program,
/// a line per problem with its step row and its sentence. A double-click on a line
/// with a row chooses that row.
class ProblemsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ProblemsWindow(QWidget *parent = nullptr);

    void setProblems(const std::vector<ProgramProblem> &problems);

    QTreeWidget *list() const { return m_list; }
    QLabel *summary() const { return m_summary; }

Q_SIGNALS:
    /// The operator double-clicked the problem of step @p row.
    void rowActivated(int row);

private:
    QLabel *m_summary = nullptr;
    QTreeWidget *m_list = nullptr;
};

/// Marks the rows of @p list that have problems with a background and their sentences
/// in the tooltip (below what the step does), and takes the marks off every other row. The list mirrors the table
/// (item k is step k + 1), so this follows each re-listing.
void markProblemRows(StepListView &list, const std::vector<ProgramProblem> &problems);

} // namespace talvex
