#pragma once

#include <QByteArray>

#include <vector>

namespace talvex::sim {

/// Cuts the control channel's input into lines. A newline ends a line. A line that
/// grows beyond its bound is not kept: the rest of it, up to its newline, is thrown
/// away as it comes, and it ends as a line marked too long, so whatever is fed in
/// the reader holds no more than one bounded line.
class ControlLineReader
{
public:
    struct Line
    {
        QByteArray text; ///< empty when the line was too long
        bool tooLong = false;
    };

    explicit ControlLineReader(int maxLine) : m_maxLine(maxLine) {}

    std::vector<Line> feed(const QByteArray &bytes);

private:
    int m_maxLine;
    QByteArray m_partial;
    bool m_tooLong = false;
};

} // namespace talvex::sim
