#pragma once

#include <QList>
#include <QPointF>
#include <QVector>
#include <QWidget>

namespace talvex::sim {

/// The XY plane seen from above: a millimetre grid, the program's points, the path
/// the head has travelled and the head itself. Y grows upwards. The view keeps both
/// axes at the same scale and grows to show everything.
class PlaneView : public QWidget
{
    Q_OBJECT

public:
    /// The oldest half of the path is dropped beyond this many samples.
    static constexpr int kPathLimit = 20000;

    explicit PlaneView(QWidget *parent = nullptr);

    void setHead(const QPointF &position);
    void setPoints(const QList<QPointF> &points);
    void clearPath();

    QPointF head() const { return m_head; }
    const QVector<QPointF> &path() const { return m_path; }
    const QList<QPointF> &points() const { return m_points; }
    QSize minimumSizeHint() const override { return {320, 260}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF extent() const;

    QPointF m_head;
    QVector<QPointF> m_path;
    QList<QPointF> m_points;
};

} // namespace talvex::sim
