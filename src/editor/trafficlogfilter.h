#pragma once

#include <QSortFilterProxyModel>

namespace talvex {

class TrafficLogModel;

/// The traffic log as the window shows it: all of it, or without the status polls
/// and their answers, which come twice a second and bury the rest. The model keeps
/// every entry either way.
class TrafficLogFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit TrafficLogFilter(TrafficLogModel &model, QObject *parent = nullptr);

    void setPollsHidden(bool hidden);
    bool pollsHidden() const { return m_pollsHidden; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    TrafficLogModel &m_model;
    bool m_pollsHidden = false;
};

} // namespace talvex
