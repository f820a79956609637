#pragma once

#include "editor/traffictext.h"
#include "link/linetrafficobserver.h"

#include <QAbstractTableModel>
#include <QTimer>

#include <array>
#include <deque>

namespace talvex {

/// The entries of the traffic log: one per line (ended by its carriage return) or per
/// burst of bytes without one, each with the time of its first byte, its direction
/// and its text made readable (TrafficText).
///
/// It must never hold the line up. Taking bytes only extends texts in memory; the
/// entries reach the view in batches, from a timer, whenever the station gets back to
/// its event loop. A burst still open then ends there: the line went quiet for the
/// station in between, and a lead byte still waiting for its trail byte shows in hex.
class TrafficLogModel : public QAbstractTableModel, public LineTrafficObserver
{
    Q_OBJECT

public:
    /// The oldest entries go first beyond this.
    static constexpr int kMaxEntries = 10000;
    /// A burst this long without a line end goes on in a new entry, so a babbling line
    /// makes rows that can still be read.
    static constexpr int kMaxEntryBytes = 256;
    /// How long new entries may wait before they are shown.
    static constexpr int kFlushMs = 100;

    enum Column
    {
        TimeColumn,
        DirectionColumn,
        TextColumn,
        ColumnCount
    };

    explicit TrafficLogModel(QObject *parent = nullptr);

    void lineTraffic(Direction direction, const QByteArray &bytes, qint64 msecsSinceEpoch) override;

    /// While paused, traffic still flows but adds nothing.
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    void clear();
    /// Shows what is waiting at once.
    void flush();

    /// The shown log, one entry a line: "hh:mm:ss.zzz → text"; without the status
    /// polls and their answers unless @p withPolls.
    QString logText(bool withPolls = true) const;
    /// One entry as it is saved.
    QString entryLine(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// Whether entry @p row is a status poll of the station ("?INP", "?VA", "?PEX",
    /// "?PEY") or what came back before the station sent anything else.
    bool isPoll(int row) const { return m_entries.at(static_cast<size_t>(row)).poll; }
    /// Whether an entry sent with @p text asks for the status the station polls.
    static bool isPollQuestion(const QString &text);

    static QString arrowOf(Direction direction);
    static QString timeOf(qint64 msecsSinceEpoch);

private:
    struct Entry
    {
        qint64 time = 0;
        Direction direction = Direction::Sent;
        QString text;
        int bytes = 0;
        bool open = true;
        bool poll = false;
    };

    /// The entry that bytes of @p direction at @p time go on.
    Entry &openEntry(Direction direction, qint64 time);
    TrafficText &textOf(Direction direction) { return m_texts[static_cast<size_t>(direction)]; }
    void resetTexts();
    /// Ends the bursts not shown yet: a lead byte still waiting goes into the entry it
    /// came in, as it is.
    void endBursts();

    std::deque<Entry> m_entries;
    /// Taken from the line, not shown yet.
    std::deque<Entry> m_pending;
    std::array<TrafficText, 2> m_texts;
    QTimer m_flushTimer;
    bool m_paused = false;
    /// The last entry sent was a poll: what comes back until the next is its answer.
    bool m_answeringPoll = false;
};

} // namespace talvex
