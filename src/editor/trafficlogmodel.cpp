#include "editor/trafficlogmodel.h"

#include <QColor>
#include <QDateTime>

#include <algorithm>

namespace talvex {

TrafficLogModel::TrafficLogModel(QObject *parent) : QAbstractTableModel(parent)
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kFlushMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &TrafficLogModel::flush);
}

QString TrafficLogModel::arrowOf(Direction direction)
{
    return direction == Direction::Sent ? QStringLiteral("→") : QStringLiteral("←");
}

bool TrafficLogModel::isPollQuestion(const QString &text)
{
    static const QStringList questions = {QStringLiteral("?INP"), QStringLiteral("?VA"), QStringLiteral("?PEX"),
                                          QStringLiteral("?PEY")};
    const QString cr = QStringLiteral("<CR>");
    const QString question = text.endsWith(cr) ? text.chopped(cr.size()) : text;
    return questions.contains(question);
}

QString TrafficLogModel::timeOf(qint64 msecsSinceEpoch)
{
    return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch).toString(QStringLiteral("hh:mm:ss.zzz"));
}

TrafficLogModel::Entry &TrafficLogModel::openEntry(Direction direction, qint64 time)
{
    if (!m_pending.empty()) {
        Entry &last = m_pending.back();
        if (last.open && last.direction == direction)
            return last;
        last.open = false;
    }
    m_pending.push_back(Entry{time, direction, QString(), 0, true, false});
    return m_pending.back();
}

void TrafficLogModel::lineTraffic(Direction direction, const QByteArray &bytes, qint64 msecsSinceEpoch)
{
    if (m_paused || bytes.isEmpty())
        return;
    TrafficText &text = textOf(direction);
    qsizetype at = 0;
    while (at < bytes.size()) {
        Entry &entry = openEntry(direction, msecsSinceEpoch);
        qsizetype end = std::min(bytes.size(), at + (kMaxEntryBytes - entry.bytes));
        const qsizetype lineEnd = bytes.indexOf('\r', at);
        const bool endsLine = lineEnd >= 0 && lineEnd < end;
        if (endsLine)
            end = lineEnd + 1;
        text.append(bytes.constData() + at, end - at, entry.text);
        entry.bytes += static_cast<int>(end - at);
        entry.open = !endsLine && entry.bytes < kMaxEntryBytes;
        at = end;
    }
    // More waiting than can ever be shown: the oldest would only be dropped later.
    while (m_pending.size() > static_cast<size_t>(kMaxEntries))
        m_pending.pop_front();
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void TrafficLogModel::endBursts()
{
    for (const Direction direction : {Direction::Sent, Direction::Received}) {
        const auto newest = std::find_if(m_pending.rbegin(), m_pending.rend(),
                                         [direction](const Entry &entry) { return entry.direction == direction; });
        if (newest != m_pending.rend())
            textOf(direction).finish(newest->text);
        else
            textOf(direction).reset();
    }
    if (!m_pending.empty())
        m_pending.back().open = false;
}

void TrafficLogModel::flush()
{
    m_flushTimer.stop();
    if (m_pending.empty())
        return;
    endBursts();
    // The pending entries are never more than the log holds, so the excess is all shown.
    const size_t total = m_entries.size() + m_pending.size();
    const int excess = total > static_cast<size_t>(kMaxEntries) ? static_cast<int>(total) - kMaxEntries : 0;
    if (excess > 0) {
        beginRemoveRows(QModelIndex(), 0, excess - 1);
        m_entries.erase(m_entries.begin(), m_entries.begin() + excess);
        endRemoveRows();
    }
    const int first = static_cast<int>(m_entries.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(m_pending.size()) - 1);
    for (Entry &entry : m_pending) {
        entry.open = false;
        // Answers are not matched to questions on this line: whatever arrives before
        // the station's next write goes with the question before it.
        if (entry.direction == Direction::Sent)
            m_answeringPoll = isPollQuestion(entry.text);
        entry.poll = m_answeringPoll;
        m_entries.push_back(std::move(entry));
    }
    m_pending.clear();
    endInsertRows();
}

void TrafficLogModel::resetTexts()
{
    for (TrafficText &text : m_texts)
        text.reset();
}

void TrafficLogModel::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    // What was cut off by the pause cannot be joined to what comes after it.
    endBursts();
}

void TrafficLogModel::clear()
{
    beginResetModel();
    m_entries.clear();
    m_pending.clear();
    resetTexts();
    m_answeringPoll = false;
    m_flushTimer.stop();
    endResetModel();
}

QString TrafficLogModel::entryLine(int row) const
{
    const Entry &entry = m_entries.at(static_cast<size_t>(row));
    return timeOf(entry.time) + QLatin1Char(' ') + arrowOf(entry.direction) + QLatin1Char(' ') + entry.text;
}

QString TrafficLogModel::logText(bool withPolls) const
{
    QString text;
    for (int row = 0; row < rowCount(); ++row) {
        if (withPolls || !isPoll(row))
            text += entryLine(row) + QLatin1Char('\n');
    }
    return text;
}

int TrafficLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int TrafficLogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TrafficLogModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Entry &entry = m_entries.at(static_cast<size_t>(index.row()));
    // The two directions in two colours, so a question and its answer stand apart.
    if (role == Qt::ForegroundRole)
        return QColor(entry.direction == Direction::Sent ? Qt::darkBlue : Qt::darkGreen);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case TimeColumn:
        return timeOf(entry.time);
    case DirectionColumn:
        return arrowOf(entry.direction);
    case TextColumn:
        return entry.text;
    default:
        return {};
    }
}

QVariant TrafficLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case TimeColumn:
        return QStringLiteral("時間");
    case DirectionColumn:
        return QStringLiteral("方向");
    case TextColumn:
        return QStringLiteral("內容");
    default:
        return {};
    }
}

} // namespace talvex
