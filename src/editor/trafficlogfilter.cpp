#include "editor/trafficlogfilter.h"

#include "editor/trafficlogmodel.h"

namespace talvex {

TrafficLogFilter::TrafficLogFilter(TrafficLogModel &model, QObject *parent)
    : QSortFilterProxyModel(parent), m_model(model)
{
    setSourceModel(&model);
}

void TrafficLogFilter::setPollsHidden(bool hidden)
{
    if (hidden == m_pollsHidden)
        return;
    m_pollsHidden = hidden;
    invalidateRowsFilter();
}

bool TrafficLogFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    return !m_pollsHidden || sourceParent.isValid() || !m_model.isPoll(sourceRow);
}

} // namespace talvex
