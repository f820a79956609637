#pragma once

#include "sim/engine/statement.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QStringList>

#include <vector>

namespace talvex::sim {

/// A downloaded program: its lines exactly as they came over the line (Big5 bytes),
/// their text, and each line read as a statement. Lines are numbered from 0, like
/// the station's listing ("{" is line 0).
class Program
{
public:
    /// The most lines the controller's program memory holds. A download longer than
    /// this is refused (the station's limit is 1001 lines), and a stored program may
    /// hold no more.
    static constexpr int kMaxLines = 4000;

    Program() = default;
    explicit Program(const QList<QByteArray> &lines);

    int size() const { return static_cast<int>(m_statements.size()); }
    bool isEmpty() const { return m_statements.empty(); }
    const QList<QByteArray> &rawLines() const { return m_raw; }
    const QStringList &lines() const { return m_text; }
    const Statement &statement(int line) const { return m_statements.at(static_cast<size_t>(line)); }

    /// Line of the label's definition; -1 when the program has no such label.
    /// @p duplicate is set when the label is defined more than once.
    int labelLine(const QString &name, bool *duplicate = nullptr) const;

    /// The points the program moves to: one per motion group ("DN;") that follows an
    /// "XMA" or "YMA", with the coordinates the axes have been sent to by then.
    QList<QPointF> points() const;

private:
    QList<QByteArray> m_raw;
    QStringList m_text;
    std::vector<Statement> m_statements;
    QHash<QString, int> m_labels;
    QHash<QString, int> m_labelCount;
};

} // namespace talvex::sim
