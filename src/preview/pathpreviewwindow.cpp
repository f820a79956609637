#include "preview/pathpreviewwindow.h"

#include "core/operator.h"
#include "document/programdocument.h"
#include "motion/programpath.h"
#include "preview/pathimage.h"
#include "preview/pathview.h"
#include "table/programtable.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace talvex {

PathPreviewWindow::PathPreviewWindow(const ProgramDocument &document, Operator &op, QWidget *parent)
    : QWidget(parent, Qt::Window), m_document(document), m_op(op)
{
    setObjectName(QStringLiteral("PathPreview"));
    setWindowTitle(QStringLiteral("路徑預覽"));

    m_view = new PathView(this);
    m_view->setObjectName(QStringLiteral("pathView"));
    m_view->setAccessibleName(QStringLiteral("路徑圖"));

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summaryLabel"));
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_summary->setAccessibleDescription(QStringLiteral("預估週期時間與路徑長度"));

    m_legend = new QCheckBox(QStringLiteral("圖例"), this);
    m_legend->setObjectName(QStringLiteral("legendBox"));
    m_legend->setChecked(m_view->legendShown());
    m_legend->setToolTip(QStringLiteral("在圖的右上角說明各種記號與顏色的意思; 存成圖片時一併存入"));
    m_fitAll = new QPushButton(QStringLiteral("全部顯示"), this);
    m_fitAll->setObjectName(QStringLiteral("fitAllButton"));
    m_saveImage = new QPushButton(QStringLiteral("存成圖片..."), this);
    m_saveImage->setObjectName(QStringLiteral("saveImageButton"));

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_summary, 1);
    bottom->addWidget(m_legend);
    bottom->addWidget(m_fitAll);
    bottom->addWidget(m_saveImage);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(bottom);

    initConnections();
    refresh();
}

void PathPreviewWindow::initConnections()
{
    connect(m_view, &PathView::rowClicked, this, &PathPreviewWindow::rowClicked);
    connect(m_legend, &QCheckBox::toggled, m_view, &PathView::setLegendShown);
    connect(m_fitAll, &QPushButton::clicked, m_view, &PathView::fitAll);
    connect(m_saveImage, &QPushButton::clicked, this, &PathPreviewWindow::saveImage);
}

void PathPreviewWindow::setOptions(const MotionOptions &options)
{
    if (options == m_options)
        return;
    m_options = options;
    refresh();
}

void PathPreviewWindow::refresh()
{
    ProgramPath path = computeProgramPath(m_document.table(), m_document.lastRow(), m_options);
    const QString summary = path.summary();
    m_view->setPath(std::move(path));
    m_summary->setText(summary);
    // A screen reader reads the figures themselves, not the label's role.
    m_summary->setAccessibleName(summary);
}

void PathPreviewWindow::setHighlightedRow(int row)
{
    m_view->setHighlightedRow(row);
}

void PathPreviewWindow::saveImage()
{
    // PNG and PDF everywhere, SVG where the build has Qt Svg.
    QStringList patterns;
    for (const QString &suffix : pathImageSuffixes())
        patterns.append(QStringLiteral("*.") + suffix);
    const QString filter =
        QStringLiteral("圖片(%1) | %2").arg(patterns.join(QLatin1Char(' ')), patterns.join(QLatin1Char(';')));
    const QString chosen = m_op.saveFileName(filter, QStringLiteral("png"));
    if (chosen.isEmpty())
        return;
    // A name of another kind ("plan.txt") becomes a PNG beside it; the dialog asked
    // about the name it was given, so a file of the new name is asked about here.
    const QString target = pathImageFileName(chosen);
    if (target != chosen && QFileInfo::exists(target) &&
        !m_op.askYesNo(QStringLiteral("檔案 %1 已存在, 是否要取代?").arg(target), messageTitle()))
        return;
    QString reason;
    QString written;
    if (!savePathImage(*m_view, target, &reason, &written))
        m_op.notice(QStringLiteral("無法儲存圖片 %1 !\n%2").arg(written, reason), messageTitle(),
                    Operator::Icon::Warning);
}

} // namespace talvex
