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

Operator::Reply QtOperator::askInBox(const Request &request)
{
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
    switch (request.kind) {
    case Kind::YesNo:
        buttons = QMessageBox::Yes | QMessageBox::No;
        defaultButton = request.defaultNo ? QMessageBox::No : QMessageBox::Yes;
        break;
    case Kind::YesNoCancel:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        defaultButton = QMessageBox::Yes;
        break;
    case Kind::OkCancel:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case Kind::Notice:
    case Kind::Prompt:
    case Kind::OpenFile:
    case Kind::SaveFile:
        break;
    }
    QMessageBox box(toBoxIcon(request.icon), titleOrDefault(request.title), request.text, buttons, m_parent);
    box.setDefaultButton(defaultButton);
    // With a Cancel button the box's close button and Escape give Cancel.
    switch (execWithinScreen(box)) {
    case QMessageBox::Yes:
    case QMessageBox::Ok:
        return {Answer::Yes, {}};
    case QMessageBox::No:
        return {Answer::No, {}};
    default:
        return {request.kind == Kind::YesNo ? Answer::No : Answer::Cancel, {}};
    }
}

Operator::Reply QtOperator::ask(const Request &request)
{
    const auto chosen = [](const QString &text) { return Reply{text.isEmpty() ? Answer::Cancel : Answer::Yes, text}; };
    switch (request.kind) {
    case Kind::Prompt: {
        bool ok = false;
        const QString text = QInputDialog::getText(m_parent, titleOrDefault(request.title), request.text,
                                                   QLineEdit::Normal, request.defaultText, &ok);
        return ok ? Reply{Answer::Yes, text} : Reply{};
    }
    case Kind::OpenFile:
        return chosen(QFileDialog::getOpenFileName(m_parent, QString(), QString(), qtFilter(request.filter)));
    case Kind::SaveFile: {
        QFileDialog dialog(m_parent, QString(), QString(), qtFilter(request.filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(request.defaultSuffix);
        return chosen(dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString());
    }
    case Kind::Notice:
    case Kind::YesNo:
    case Kind::YesNoCancel:
    case Kind::OkCancel:
        break;
    }
    return askInBox(request);
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
