#include "core/operator.h"

namespace talvex {

Operator::~Operator() = default;

void Operator::showProgress(const QString &, const QString &, qint64, qint64) {}

void Operator::endProgress() {}

void Operator::notice(const QString &text, const QString &title, Icon icon)
{
    ask({Kind::Notice, text, title, icon, {}, {}});
}

bool Operator::askYesNo(const QString &text, const QString &title)
{
    return ask({Kind::YesNo, text, title, Icon::Question, {}, {}}).answer == Answer::Yes;
}

bool Operator::askYesNoDefaultNo(const QString &text, const QString &title)
{
    return ask({Kind::YesNo, text, title, Icon::Question, {}, {}, true}).answer == Answer::Yes;
}

Operator::Answer Operator::askYesNoCancel(const QString &text, const QString &title)
{
    return ask({Kind::YesNoCancel, text, title, Icon::Question, {}, {}}).answer;
}

bool Operator::askOkCancel(const QString &text, const QString &title, Icon icon)
{
    return ask({Kind::OkCancel, text, title, icon, {}, {}}).answer == Answer::Yes;
}

QString Operator::prompt(const QString &message, const QString &title, const QString &defaultText)
{
    const Reply reply = ask({Kind::Prompt, message, title, Icon::None, defaultText, {}});
    return reply.answer == Answer::Yes ? reply.text : QString();
}

QString Operator::openFileName(const QString &filter)
{
    const Reply reply = ask({Kind::OpenFile, {}, {}, Icon::None, {}, filter});
    return reply.answer == Answer::Yes ? reply.text : QString();
}

QString Operator::saveFileName(const QString &filter)
{
    const Reply reply = ask({Kind::SaveFile, {}, {}, Icon::None, {}, filter});
    return reply.answer == Answer::Yes ? reply.text : QString();
}

} // namespace talvex
