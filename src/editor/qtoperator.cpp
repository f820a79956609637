#include "editor/qtoperator.h"

#include "editor/messageboxfit.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>

namespace talvex {

namespace {

QMessageBox::Icon toBoxIcon(Operator::Icon icon)
{
    switch (icon) {
    case Operator::Icon::Information:
        return QMessageBox::Information;
    case Operator::Icon::Question:
        return QMessageBox::Question;
    case Operator::Icon::Warning:
        return QMessageBox::Warning;
    case Operator::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The file dialogs take the filter as "description | pattern"; Qt wants the pattern
// in parentheses, which the description already carries, so only the description is
// handed over.
QString qtFilter(const QString &filter)
{
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    return bar < 0 ? filter : filter.left(bar).trimmed();
}

} // namespace

QtOperator::QtOperator(QWidget *parent) : m_parent(parent) {}

QtOperator::~QtOperator()
{
    delete m_progress;
}

QString QtOperator::titleOrDefault(const QString &title) const
{
    // A box "without a caption of its own" still needs a window title: the
    // application's name, as such boxes have always shown.
    return title.isEmpty() ? QStringLiteral("TALVEX") : title;
}

void QtOperator::notice(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(toBoxIcon(icon), titleOrDefault(title), text, QMessageBox::Ok, m_parent);
    execWithinScreen(box);
}

bool QtOperator::askYesNo(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, titleOrDefault(title), text, QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    return execWithinScreen(box) == QMessageBox::Yes;
}

Operator::Answer QtOperator::askYesNoCancel(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, titleOrDefault(title), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    // With a Cancel button the box's close button and Escape give Cancel.
    switch (execWithinScreen(box)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

bool QtOperator::askOkCancel(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(toBoxIcon(icon), titleOrDefault(title), text, QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Ok);
    return execWithinScreen(box) == QMessageBox::Ok;
}

QString QtOperator::prompt(const QString &message, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, titleOrDefault(title), message, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString QtOperator::openFileName(const QString &filter)
{
    return QFileDialog::getOpenFileName(m_parent, QString(), QString(), qtFilter(filter));
}

QString QtOperator::saveFileName(const QString &filter)
{
    return QFileDialog::getSaveFileName(m_parent, QString(), QString(), qtFilter(filter));
}

void QtOperator::showProgress(const QString &text, const QString &title, qint64 done, qint64 total)
{
    if (!m_progress) {
        m_progress = new QProgressDialog(m_parent);
        m_progress->setWindowModality(Qt::ApplicationModal);
        m_progress->setCancelButton(nullptr);
        m_progress->setMinimumDuration(0);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
    }
    m_progress->setWindowTitle(titleOrDefault(title));
    m_progress->setLabelText(text);
    // QProgressDialog counts in int; a download is far below that, but stay safe.
    const int scaledTotal = static_cast<int>(std::min<qint64>(total, 1 << 30));
    const int scaledDone = static_cast<int>(std::min<qint64>(done, scaledTotal));
    m_progress->setMaximum(scaledTotal);
    m_progress->setValue(scaledDone);
    m_progress->show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtOperator::endProgress()
{
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
}

} // namespace talvex
