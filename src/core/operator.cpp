#include "core/operator.h"

namespace talvex {

namespace {

Operator::Request request(Operator::Kind kind, const QString &text, const QString &title, Operator::Icon icon)
{
    Operator::Request r;
    r.kind = kind;
    r.text = text;
    r.title = title;
    r.icon = icon;
    return r;
}

} // namespace

Operator::~Operator() = default;

void Operator::showProgress(const QString &, const QString &, qint64, qint64) {}

void Operator::endProgress() {}

void Operator::notice(const QString &text, const QString &title, Icon icon)
{
    ask(request(Kind::Notice, text, title, icon));
}

bool Operator::askYesNo(const QString &text, const QString &title)
{
    return ask(request(Kind::YesNo, text, title, Icon::Question)).answer == Answer::Yes;
}

bool Operator::askYesNoDefaultNo(const QString &text, const QString &title)
{
    Request r = request(Kind::YesNo, text, title, Icon::Question);
    r.defaultNo = true;
    return ask(r).answer == Answer::Yes;
}

Operator::Answer Operator::askYesNoCancel(const QString &text, const QString &title)
{
    return ask(request(Kind::YesNoCancel, text, title, Icon::Question)).answer;
}

bool Operator::askOkCancel(const QString &text, const QString &title, Icon icon)
{
    return ask(request(Kind::OkCancel, text, title, icon)).answer == Answer::Yes;
}

QString Operator::prompt(const QString &message, const QString &title, const QString &defaultText)
{
    Request r = request(Kind::Prompt, message, title, Icon::None);
    r.defaultText = defaultText;
    const Reply reply = ask(r);
    return reply.answer == Answer::Yes ? reply.text : QString();
}

QString Operator::openFileName(const QString &filter)
{
    Request r = request(Kind::OpenFile, {}, {}, Icon::None);
    r.filter = filter;
    const Reply reply = ask(r);
    return reply.answer == Answer::Yes ? reply.text : QString();
}

QString Operator::saveFileName(const QString &filter, const QString &defaultSuffix)
{
    Request r = request(Kind::SaveFile, {}, {}, Icon::None);
    r.filter = filter;
    r.defaultSuffix = defaultSuffix;
    const Reply reply = ask(r);
    return reply.answer == Answer::Yes ? reply.text : QString();
}

} // namespace talvex
