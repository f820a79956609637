#include "sim/engine/program.h"

#include "core/big5.h"

namespace talvex::sim {

Program::Program(const QList<QByteArray> &lines) : m_raw(lines)
{
    m_statements.reserve(static_cast<size_t>(lines.size()));
    for (int i = 0; i < lines.size(); ++i) {
        const QString text = decodeBig5(lines.at(i));
        m_text << text;
        m_statements.push_back(parseStatement(text));
        const Statement &s = m_statements.back();
        if (s.op == Op::Label) {
            if (!m_labels.contains(s.name))
                m_labels.insert(s.name, i);
            ++m_labelCount[s.name];
        }
    }
}

int Program::labelLine(const QString &name, bool *duplicate) const
{
    if (duplicate)
        *duplicate = m_labelCount.value(name) > 1;
    return m_labels.value(name, -1);
}

QList<QPointF> Program::points() const
{
    QList<QPointF> out;
    QPointF at;
    bool moved = false;
    for (const Statement &s : m_statements) {
        switch (s.op) {
        case Op::MoveX:
            at.setX(s.number);
            moved = true;
            break;
        case Op::MoveY:
            at.setY(s.number);
            moved = true;
            break;
        case Op::HomeX:
            at.setX(0.0);
            break;
        case Op::HomeY:
            at.setY(0.0);
            break;
        case Op::WaitMotion:
            if (moved)
                out << at;
            moved = false;
            break;
        default:
            break;
        }
    }
    return out;
}

} // namespace talvex::sim
