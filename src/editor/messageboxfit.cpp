#include "editor/messageboxfit.h"

#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>

#include <algorithm>

namespace talvex {

namespace {

// A device path is a few dozen characters; a run of characters without white space
// longer than this wraps anywhere, a character a line, and a path of thousands of
// characters would make the box taller than any screen.
constexpr qsizetype kMaxRun = 80;
// Beyond this a text is not read in a box anyway, and laying it out only costs time.
constexpr qsizetype kMaxShownCharacters = 2000;
// The shortest the text is cut to when even that does not fit.
constexpr qsizetype kMinShownCharacters = 40;
const QChar kEllipsis(0x2026);

/// @p text cut after about @p size characters (never inside a surrogate pair),
/// marked as cut.
QString cutShort(const QString &text, qsizetype size)
{
    if (size >= text.size())
        return text;
    if (size > 0 && text.at(size - 1).isHighSurrogate())
        --size;
    return text.left(size) + kEllipsis;
}

/// Whether @p box would lie within the screen with @p text and @p details (and with
/// room left to open them). A message box takes its size only when it is shown, so a
/// copy is shown off the screen and measured; the box itself is shown once, as it is.
bool fitsScreen(const QMessageBox &box, const QString &text, const QString &details)
{
    QMessageBox probe(box.icon(), box.windowTitle(), text, box.standardButtons(), box.parentWidget());
    probe.setTextFormat(box.textFormat());
    probe.setDetailedText(details);
    probe.setAttribute(Qt::WA_DontShowOnScreen);
    probe.show();
    // Shown off the screen it has no frame yet; the window manager adds a title bar.
    int extraHeight = probe.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &probe);
    if (const QTextEdit *detailsView = probe.findChild<QTextEdit *>())
        extraHeight += detailsView->maximumHeight() + 2 * probe.fontMetrics().lineSpacing();
    const QRect available = probe.screen()->availableGeometry();
    const QSize size = probe.frameGeometry().size();
    return size.width() <= available.width() && size.height() + extraHeight <= available.height();
}

} // namespace

QString elideLongRuns(const QString &text, qsizetype maxRun)
{
    QString out;
    out.reserve(std::min(text.size(), kMaxShownCharacters * 2));
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && !text.at(end).isSpace())
            ++end;
        const qsizetype length = end - start;
        if (length > maxRun) {
            qsizetype head = (maxRun - 1) / 2;
            qsizetype tail = maxRun - 1 - head;
            if (text.at(start + head - 1).isHighSurrogate())
                --head;
            if (text.at(end - tail).isLowSurrogate())
                --tail;
            out += QStringView(text).mid(start, head);
            out += kEllipsis;
            out += QStringView(text).mid(end - tail, tail);
        } else {
            out += QStringView(text).mid(start, length);
        }
        qsizetype next = end;
        while (next < text.size() && text.at(next).isSpace())
            ++next;
        out += QStringView(text).mid(end, next - end);
        start = next;
    }
    return out;
}

int execWithinScreen(QMessageBox &box)
{
    // Every text of the station is plain; a path that happens to look like markup
    // must show as it is.
    box.setTextFormat(Qt::PlainText);
    const QString full = box.text();
    const QString elided = cutShort(elideLongRuns(full, kMaxRun), kMaxShownCharacters);
    QString shown = elided;
    QString details = elided == full ? QString() : full;
    for (qsizetype size = elided.size(); !fitsScreen(box, shown, details) && size > kMinShownCharacters;) {
        size = std::max(kMinShownCharacters, size / 2);
        shown = cutShort(elided, size);
        details = full;
    }
    box.setText(shown);
    box.setDetailedText(details);
    return box.exec();
}

} // namespace talvex
