#pragma once

#include "motion/motionoptions.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace talvex {

class Operator;
class PathView;
class ProgramDocument;

/// The modeless window "路徑預覽": the program's path on the XY plane, and below it
/// the estimated cycle time, the path length and the input waits left out; "圖例"
/// shows or hides the legend in the drawing (and in the images saved). It draws
/// from the path model and has no logic of its own; whoever shows it calls refresh()
/// after every change of the document and setHighlightedRow() when the chosen row changes,
/// and hears rowClicked() when the operator clicks a point.
class PathPreviewWindow : public QWidget
{
    Q_OBJECT

public:
    PathPreviewWindow(const ProgramDocument &document, Operator &op, QWidget *parent = nullptr);

    /// The check boxes and acceleration texts the path depends on; recomputes when
    /// they differ from the last ones.
    void setOptions(const MotionOptions &options);
    /// Recomputes the path and the estimate from the table as it stands.
    void refresh();
    /// Highlights @p row in the drawing (0 for none).
    void setHighlightedRow(int row);

    PathView *view() const { return m_view; }
    QLabel *summaryLabel() const { return m_summary; }
    QCheckBox *legendBox() const { return m_legend; }
    QPushButton *fitAllButton() const { return m_fitAll; }
    QPushButton *saveImageButton() const { return m_saveImage; }

Q_SIGNALS:
    /// The operator clicked the point (or mark) of @p row.
    void rowClicked(int row);

private:
    void saveImage();
    void initConnections();

    const ProgramDocument &m_document;
    Operator &m_op;
    MotionOptions m_options;
    PathView *m_view = nullptr;
    QLabel *m_summary = nullptr;
    QCheckBox *m_legend = nullptr;
    QPushButton *m_fitAll = nullptr;
    QPushButton *m_saveImage = nullptr;
};

} // namespace talvex
