#include "app/stationscript.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>

namespace talvex {

namespace {

const char *const kScriptVariable = "TALVEX_STATION_SCRIPT";

// A caption as the script names it: without the mnemonic's "(&S)" or "&".
QString plainCaption(QString caption)
{
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)$"));
    caption.remove(mnemonic);
    caption.remove(QLatin1Char('&'));
    return caption.trimmed();
}

QString kindName(Operator::Kind kind)
{
    switch (kind) {
    case Operator::Kind::Notice:
        return QStringLiteral("notice");
    case Operator::Kind::YesNo:
    case Operator::Kind::YesNoCancel:
    case Operator::Kind::OkCancel:
        return QStringLiteral("question");
    case Operator::Kind::Prompt:
        return QStringLiteral("prompt");
    case Operator::Kind::OpenFile:
    case Operator::Kind::SaveFile:
        return QStringLiteral("file");
    }
    return {};
}

} // namespace

StationScript::StationScript()
{
    const QString path = qEnvironmentVariable(kScriptVariable);
    if (path.isEmpty())
        return;
    m_active = true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_problem = QStringLiteral("%1: %2").arg(path, file.errorString());
        return;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        const QString command = space < 0 ? line : line.left(space);
        const QString argument = space < 0 ? QString() : line.mid(space + 1).trimmed();
        if (command == QLatin1String("answer")) {
            m_answers.push_back(argument);
        } else if (command == QLatin1String("transcript")) {
            delete m_transcript;
            m_transcript = new QFile(argument);
            if (!m_transcript->open(QIODevice::WriteOnly | QIODevice::Truncate))
                m_problem = QStringLiteral("%1: %2").arg(argument, m_transcript->errorString());
        } else if (command == QLatin1String("click") || command == QLatin1String("grab") ||
                   command == QLatin1String("quit")) {
            m_steps.push_back({command, argument});
        } else {
            m_problem = QStringLiteral("%1: unknown command \"%2\"").arg(path, command);
        }
    }
}

StationScript::~StationScript()
{
    delete m_transcript;
}

void StationScript::write(const QString &line)
{
    if (m_transcript == nullptr || !m_transcript->isOpen())
        return;
    QString flat = line;
    flat.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    m_transcript->write(flat.toUtf8() + '\n');
    m_transcript->flush();
}

Operator::Reply StationScript::ask(const Request &request)
{
    Reply reply;
    if (request.kind == Kind::Notice) {
        reply.answer = Answer::Yes;
        write(QStringLiteral("notice\t%1").arg(request.text));
        return reply;
    }
    if (m_answers.empty()) {
        reply.answer = request.kind == Kind::YesNo ? Answer::No : Answer::Cancel;
        write(QStringLiteral("%1\t%2\tunanswered").arg(kindName(request.kind), request.text));
        return reply;
    }
    const QString answer = m_answers.front();
    m_answers.pop_front();
    write(QStringLiteral("%1\t%2\t%3").arg(kindName(request.kind), request.text, answer));
    switch (request.kind) {
    case Kind::YesNo:
    case Kind::YesNoCancel:
    case Kind::OkCancel:
        if (answer == QStringLiteral("是") || answer == QStringLiteral("確定"))
            reply.answer = Answer::Yes;
        else if (answer == QStringLiteral("否"))
            reply.answer = request.kind == Kind::OkCancel ? Answer::Cancel : Answer::No;
        else
            reply.answer = Answer::Cancel;
        break;
    case Kind::Prompt:
    case Kind::OpenFile:
    case Kind::SaveFile:
        reply.answer = Answer::Yes;
        reply.text = answer;
        break;
    case Kind::Notice:
        break;
    }
    return reply;
}

void StationScript::start(QWidget &window)
{
    QTimer::singleShot(0, &window, [this, &window] { runNext(window); });
}

bool StationScript::click(QWidget &window, const QString &caption)
{
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        if (plainCaption(button->text()) == caption && button->isVisible()) {
            if (!button->isEnabled())
                return false;
            button->click();
            return true;
        }
    }
    for (QAction *action : window.findChildren<QAction *>()) {
        if (plainCaption(action->text()) == caption) {
            if (!action->isEnabled())
                return false;
            action->trigger();
            return true;
        }
    }
    return false;
}

void StationScript::runNext(QWidget &window)
{
    if (m_steps.empty())
        return;
    const Step step = m_steps.front();
    m_steps.pop_front();
    if (step.command == QLatin1String("click")) {
        write(QStringLiteral("click\t%1\t%2")
                  .arg(step.argument, click(window, step.argument) ? QStringLiteral("done")
                                                                   : QStringLiteral("not found or disabled")));
    } else if (step.command == QLatin1String("grab")) {
        const bool saved = window.grab().save(step.argument);
        write(QStringLiteral("grab\t%1\t%2")
                  .arg(step.argument, saved ? QStringLiteral("done") : QStringLiteral("not saved")));
    } else if (step.command == QLatin1String("quit")) {
        write(QStringLiteral("quit"));
        window.close();
        return;
    }
    QTimer::singleShot(0, &window, [this, &window] { runNext(window); });
}

} // namespace talvex
