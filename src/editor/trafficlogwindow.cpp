#include "editor/trafficlogwindow.h"

#include "core/filewrite.h"
#include "core/operator.h"
#include "editor/trafficarrowdelegate.h"
#include "editor/trafficlogfilter.h"
#include "editor/trafficlogmodel.h"
#include "link/line.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace talvex {

TrafficLogWindow::TrafficLogWindow(Line &line, TrafficLogModel *model, QWidget *parent)
    : QWidget(parent, Qt::Window), m_link(line), m_model(model), m_ownModel(model == nullptr)
{
    setObjectName(QStringLiteral("TrafficLogWindow"));
    setWindowTitle(QStringLiteral("通訊記錄"));
    resize(640, 420);

    if (m_ownModel)
        m_model = new TrafficLogModel(this);
    m_filter = new TrafficLogFilter(*m_model, this);
    m_view = new QTreeView(this);
    m_view->setObjectName(QStringLiteral("trafficView"));
    m_view->setAccessibleName(QStringLiteral("通訊記錄"));
    m_view->setModel(m_filter);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setAlternatingRowColors(true);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_view->header()->setStretchLastSection(true);
    const int timeWidth = m_view->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00.000")) + 16;
    m_view->setColumnWidth(TrafficLogModel::TimeColumn, timeWidth);
    m_view->setItemDelegateForColumn(TrafficLogModel::DirectionColumn, new TrafficArrowDelegate(m_view));
    const int arrowWidth = static_cast<int>(TrafficArrowDelegate::arrowLength(m_view->fontMetrics().height()));
    m_view->setColumnWidth(TrafficLogModel::DirectionColumn,
                           std::max(arrowWidth, m_view->fontMetrics().horizontalAdvance(QStringLiteral("方向"))) + 16);

    m_pause = new QPushButton(QStringLiteral("暫停"), this);
    m_pause->setObjectName(QStringLiteral("pauseButton"));
    m_pause->setCheckable(true);
    m_pause->setAutoDefault(false);
    m_clear = new QPushButton(QStringLiteral("清除"), this);
    m_clear->setObjectName(QStringLiteral("clearButton"));
    m_clear->setAutoDefault(false);
    m_hidePolls = new QCheckBox(QStringLiteral("隱藏狀態查詢"), this);
    m_hidePolls->setObjectName(QStringLiteral("hidePollsBox"));
    m_hidePolls->setToolTip(QStringLiteral("不顯示定時送出的狀態查詢 (?INP、?VA、?PEX、?PEY) 與它們的回答, "
                                           "其餘的通訊比較容易閱讀; 記錄仍全部保留, 取消勾選即再顯示"));
    m_save = new QPushButton(QStringLiteral("存檔..."), this);
    m_save->setObjectName(QStringLiteral("saveButton"));
    m_save->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_pause);
    buttons->addWidget(m_clear);
    buttons->addSpacing(12);
    buttons->addWidget(m_hidePolls);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);

    initConnections();
    if (m_ownModel)
        m_link.addTrafficObserver(*m_model);
}

TrafficLogWindow::~TrafficLogWindow()
{
    if (m_ownModel)
        m_link.removeTrafficObserver(*m_model);
}

QString TrafficLogWindow::fileFilter()
{
    return QStringLiteral("文字檔(*.txt) | *.txt");
}

void TrafficLogWindow::initConnections()
{
    connect(m_pause, &QPushButton::toggled, m_model, &TrafficLogModel::setPaused);
    connect(m_clear, &QPushButton::clicked, m_model, &TrafficLogModel::clear);
    connect(m_save, &QPushButton::clicked, this, &TrafficLogWindow::save);
    connect(m_hidePolls, &QCheckBox::toggled, this, [this](bool hidden) {
        const QScrollBar *bar = m_view->verticalScrollBar();
        const bool atEnd = bar->value() >= bar->maximum();
        m_filter->setPollsHidden(hidden);
        if (atEnd)
            m_view->scrollToBottom();
    });
    // The log follows the newest entries unless the operator scrolled back to read.
    connect(m_filter, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar *bar = m_view->verticalScrollBar();
        m_following = bar->value() >= bar->maximum();
    });
    connect(m_filter, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_following)
            m_view->scrollToBottom();
    });
}

void TrafficLogWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The log has run since the station started: it opens at the newest entries.
    if (m_following)
        m_view->scrollToBottom();
}

void TrafficLogWindow::save()
{
    m_model->flush();
    const QString path = m_link.op().saveFileName(fileFilter());
    if (path.isEmpty())
        return;
    QString reason;
    if (writeWholeFile(path, m_model->logText(!m_filter->pollsHidden()).toUtf8(), &reason, FileSync::ToDisk,
                       QIODevice::Text))
        return;
    m_link.op().notice(QStringLiteral("無法寫入通訊記錄檔 %1 !\n%2").arg(path, reason), messageTitle(),
                       Operator::Icon::Warning);
}

} // namespace talvex
