#include "sim/window/trafficlog.h"

#include "core/big5.h"

#include <QTime>

namespace talvex::sim {

TrafficLog::TrafficLog(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setMaximumBlockCount(kMaxLines);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(9);
    setFont(mono);
}

QString TrafficLog::printable(const QByteArray &bytes)
{
    QString out;
    QByteArray run;
    auto flush = [&] {
        out += decodeBig5(run);
        run.clear();
    };
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u != 0x7f) {
            run.append(c);
            continue;
        }
        flush();
        if (u == 0x1b)
            out += QStringLiteral("<ESC>");
        else if (u == '\r')
            out += QStringLiteral("<CR>");
        else if (u == '\n')
            out += QStringLiteral("<LF>");
        else
            out += QStringLiteral("<%1>").arg(u, 2, 16, QLatin1Char('0'));
    }
    flush();
    return out;
}

void TrafficLog::add(const QString &arrow, const QString &text, const char *colour)
{
    const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    appendHtml(QStringLiteral("<span style=\"color:#888\">%1</span> <span style=\"color:%2\">%3 %4</span>")
                   .arg(time, QLatin1String(colour), arrow,
                        text.toHtmlEscaped().replace(QLatin1Char(' '), QStringLiteral("&nbsp;"))));
}

void TrafficLog::addReceived(const QByteArray &line)
{
    add(QStringLiteral("←"), line.isEmpty() ? QStringLiteral("(空行)") : printable(line), "#1b4f9c");
}

void TrafficLog::addEscape()
{
    add(QStringLiteral("←"), QStringLiteral("<ESC>"), "#1b4f9c");
}

void TrafficLog::addSent(const QByteArray &bytes)
{
    for (const QByteArray &reply : bytes.split('\r')) {
        if (!reply.isEmpty())
            add(QStringLiteral("→"), printable(reply), "#1a7f1a");
    }
}

void TrafficLog::addNote(const QString &text)
{
    add(QStringLiteral("•"), text, "#a05a00");
}

} // namespace talvex::sim
