#include "editor/problemswindow.h"

#include "editor/steplistview.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <map>

namespace talvex {

namespace {

constexpr int kRowRole = Qt::UserRole + 1;

} // namespace

ProblemsWindow::ProblemsWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("程式檢查"));
    setWindowTitle(QStringLiteral("程式檢查"));
    m_summary = new QLabel(this);
    m_list = new QTreeWidget(this);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("行"), QStringLiteral("問題")});
    m_list->setRootIsDecorated(false);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setUniformRowHeights(true);
    m_list->setColumnWidth(0, 60);
    m_list->header()->setStretchLastSection(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list);
    resize(520, 300);

    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        const int row = item ? item->data(0, kRowRole).toInt() : 0;
        if (row > 0)
            Q_EMIT rowActivated(row);
    });
}

void ProblemsWindow::setProblems(const std::vector<ProgramProblem> &problems)
{
    m_summary->setText(problems.empty() ? QStringLiteral("程式沒有發現問題")
                                        : QStringLiteral("程式有 %1 個問題").arg(problems.size()));
    m_list->clear();
    for (const ProgramProblem &problem : problems) {
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(0, problem.row > 0 ? QString::number(problem.row) : QString());
        item->setData(0, kRowRole, problem.row);
        item->setText(1, problem.sentence);
        item->setToolTip(1, problem.sentence);
    }
}

void markProblemRows(StepListView &list, const std::vector<ProgramProblem> &problems)
{
    std::map<int, QStringList> sentences;
    for (const ProgramProblem &problem : problems) {
        if (problem.row > 0)
            sentences[problem.row] << problem.sentence;
    }
    const QBrush marked(QColor(255, 214, 214));
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = list.topLevelItem(i);
        const auto found = sentences.find(i + 1);
        const bool problem = found != sentences.end();
        for (int c = 0; c < list.columnCount(); ++c)
            item->setBackground(c, problem ? marked : QBrush());
        list.setProblemsAt(i, problem ? found->second.join(QLatin1Char('\n')) : QString());
    }
}

} // namespace talvex
