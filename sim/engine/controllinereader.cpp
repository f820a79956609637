#include "sim/engine/controllinereader.h"

namespace talvex::sim {

std::vector<ControlLineReader::Line> ControlLineReader::feed(const QByteArray &bytes)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype end = newline < 0 ? bytes.size() : newline;
        if (!m_tooLong) {
            if (m_partial.size() + (end - start) > m_maxLine) {
                m_tooLong = true;
                m_partial = QByteArray();
            } else {
                m_partial.append(bytes.constData() + start, end - start);
            }
        }
        if (newline < 0)
            break;
        lines.push_back({m_partial, m_tooLong});
        m_partial.clear();
        m_tooLong = false;
        start = newline + 1;
    }
    return lines;
}

} // namespace talvex::sim
