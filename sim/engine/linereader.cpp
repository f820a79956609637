#include "sim/engine/linereader.h"

namespace talvex::sim {

std::vector<LineReader::Item> LineReader::feed(const QByteArray &bytes)
{
    std::vector<Item> items;
    for (const char c : bytes) {
        switch (c) {
        case '\r':
            items.push_back({Item::Kind::Line, m_partial});
            m_partial.clear();
            break;
        case '\x1b':
            items.push_back({Item::Kind::Escape, {}});
            m_partial.clear();
            break;
        case '\n':
        case '\0':
            break;
        default:
            if (m_partial.size() < kMaxLine)
                m_partial.append(c);
            break;
        }
    }
    return items;
}

} // namespace talvex::sim
