#include "sim/engine/statement.h"

#include <QRegularExpression>

#include <cmath>

namespace talvex::sim {

QString faultCode(Fault fault)
{
    switch (fault) {
    case Fault::None:
        return QStringLiteral("none");
    case Fault::Syntax:
        return QStringLiteral("syntax");
    case Fault::UnknownStatement:
        return QStringLiteral("unknown-statement");
    case Fault::BadNumber:
        return QStringLiteral("bad-number");
    case Fault::UnknownLabel:
        return QStringLiteral("unknown-label");
    case Fault::DuplicateLabel:
        return QStringLiteral("duplicate-label");
    case Fault::UndeclaredVariable:
        return QStringLiteral("undeclared-variable");
    case Fault::NoProgram:
        return QStringLiteral("no-program");
    }
    return QString();
}

QString faultText(Fault fault)
{
    switch (fault) {
    case Fault::None:
        return QString();
    case Fault::Syntax:
        return QStringLiteral("語法錯誤");
    case Fault::UnknownStatement:
        return QStringLiteral("無法辨識的指令");
    case Fault::BadNumber:
        return QStringLiteral("數值錯誤");
    case Fault::UnknownLabel:
        return QStringLiteral("找不到標籤");
    case Fault::DuplicateLabel:
        return QStringLiteral("標籤重複定義");
    case Fault::UndeclaredVariable:
        return QStringLiteral("變數未宣告");
    case Fault::NoProgram:
        return QStringLiteral("沒有程式");
    }
    return QString();
}

bool readNumber(const QString &text, double *value)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    if (!number.match(text).hasMatch())
        return false;
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

bool isVariableName(const QString &text)
{
    static const QRegularExpression name(QStringLiteral("^#[A-Za-z_]+[0-9]*$"));
    return name.match(text).hasMatch();
}

namespace {

Statement make(Op op)
{
    Statement s;
    s.op = op;
    return s;
}

Statement invalid(Fault fault, const QString &detail)
{
    Statement s;
    s.fault = fault;
    s.detail = detail;
    return s;
}

QString leftTrimmed(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    return text.mid(i);
}

// A number argument with its allowed range; whole numbers only where the statement
// counts something (an input, an output mask).
Statement numberArgument(Op op, const QString &argument, double min, double max, bool whole)
{
    double v = 0.0;
    const QString arg = argument.trimmed();
    if (!readNumber(arg, &v))
        return invalid(Fault::BadNumber, QStringLiteral("無法讀取的數值「%1」").arg(arg));
    if (v < min || v > max || (whole && v != std::floor(v)))
        return invalid(Fault::BadNumber, QStringLiteral("數值「%1」超出範圍").arg(arg));
    Statement s = make(op);
    s.number = v;
    return s;
}

Statement jumpTarget(Statement s, const QString &argument)
{
    const QString arg = leftTrimmed(argument);
    if (!arg.startsWith(QLatin1Char('$')) || arg.size() < 2)
        return invalid(Fault::Syntax, QStringLiteral("跳躍目標要寫成 $標籤"));
    s.target = arg.mid(1);
    return s;
}

Statement assignment(const QString &body)
{
    const qsizetype eq = body.indexOf(QLatin1Char('='));
    if (eq < 0)
        return invalid(Fault::Syntax, QStringLiteral("指定敘述缺少 ="));
    Statement s = make(Op::Assign);
    s.name = body.left(eq).trimmed();
    if (!isVariableName(s.name))
        return invalid(Fault::Syntax, QStringLiteral("變數名稱「%1」錯誤").arg(s.name));

    // term (('+' | '-') term)*, each term a number or a variable.
    static const QRegularExpression term(
        QStringLiteral("\\G\\s*([+-]?)\\s*(#[A-Za-z_]+[0-9]*|[0-9]+\\.?[0-9]*|\\.[0-9]+)\\s*"));
    const QString rhs = body.mid(eq + 1);
    qsizetype pos = 0;
    bool first = true;
    while (pos < rhs.size() || first) {
        const QRegularExpressionMatch m = term.match(rhs, pos);
        if (!m.hasMatch() || (!first && m.captured(1).isEmpty()))
            return invalid(Fault::BadNumber, QStringLiteral("無法讀取的數值「%1」").arg(rhs.trimmed()));
        Term t;
        t.negative = m.captured(1) == QLatin1String("-");
        const QString operand = m.captured(2);
        if (operand.startsWith(QLatin1Char('#')))
            t.variable = operand;
        else if (!readNumber(operand, &t.number))
            return invalid(Fault::BadNumber, QStringLiteral("無法讀取的數值「%1」").arg(operand));
        s.terms.push_back(t);
        pos = m.capturedEnd(0);
        first = false;
    }
    return s;
}

Statement keywordStatement(const QString &keyword, const QString &rest)
{
    constexpr double kHuge = 1e9;
    if (keyword == QLatin1String("CLR")) {
        if (rest.trimmed() != QLatin1String("VAR"))
            return invalid(Fault::Syntax, QStringLiteral("應為 CLR VAR"));
        return make(Op::ClearVars);
    }
    if (keyword == QLatin1String("VA"))
        return numberArgument(Op::SetAccel, rest, 1e-6, kHuge, false);
    if (keyword == QLatin1String("VM")) {
        if (!rest.startsWith(QLatin1Char('=')))
            return invalid(Fault::Syntax, QStringLiteral("速度要寫成 VM=數值"));
        return numberArgument(Op::SetSpeed, rest.mid(1), 1e-6, kHuge, false);
    }
    if (keyword == QLatin1String("SI")) {
        Statement s = make(Op::Declare);
        s.name = rest.trimmed();
        if (!isVariableName(s.name))
            return invalid(Fault::Syntax, QStringLiteral("變數名稱「%1」錯誤").arg(s.name));
        return s;
    }
    if (keyword == QLatin1String("JP"))
        return jumpTarget(make(Op::Jump), rest);
    if (keyword == QLatin1String("JNZ")) {
        const qsizetype comma = rest.indexOf(QLatin1Char(','));
        Statement s = make(Op::JumpNotZero);
        s.name = rest.left(comma).trimmed();
        if (comma < 0 || !isVariableName(s.name))
            return invalid(Fault::Syntax, QStringLiteral("應為 JNZ #變數,$標籤"));
        return jumpTarget(s, rest.mid(comma + 1));
    }
    if (keyword == QLatin1String("WI"))
        return numberArgument(Op::WaitInput, rest, 1, 16, true);
    if (keyword == QLatin1String("XMA"))
        return numberArgument(Op::MoveX, rest, -kHuge, kHuge, false);
    if (keyword == QLatin1String("YMA"))
        return numberArgument(Op::MoveY, rest, -kHuge, kHuge, false);
    if (keyword == QLatin1String("OUTP"))
        return numberArgument(Op::Outputs, rest, 0, 255, true);
    if (keyword == QLatin1String("WT"))
        return numberArgument(Op::WaitTime, rest, 0, kHuge, false);
    const Op bare = keyword == QLatin1String("DN")   ? Op::WaitMotion
                    : keyword == QLatin1String("XH") ? Op::HomeX
                    : keyword == QLatin1String("YH") ? Op::HomeY
                                                     : Op::Invalid;
    if (bare == Op::Invalid)
        return invalid(Fault::UnknownStatement, QStringLiteral("無法辨識的指令「%1」").arg(keyword));
    if (!rest.trimmed().isEmpty())
        return invalid(Fault::Syntax, QStringLiteral("%1 之後不應有「%2」").arg(keyword, rest.trimmed()));
    return make(bare);
}

} // namespace

Statement parseStatement(const QString &line)
{
    const QString text = line.trimmed();
    if (text.isEmpty())
        return make(Op::Nothing);
    if (text == QLatin1String("{"))
        return make(Op::Begin);
    if (text == QLatin1String("}"))
        return make(Op::End);

    const bool terminated = text.endsWith(QLatin1Char(';'));
    const QString body = terminated ? text.chopped(1) : text;
    Statement s;
    if (body.startsWith(QLatin1Char('$'))) {
        if (!body.endsWith(QLatin1Char(':')) || body.size() < 3)
            return invalid(Fault::Syntax, QStringLiteral("標籤要寫成 $名稱:;"));
        s = make(Op::Label);
        s.name = body.mid(1, body.size() - 2);
    } else if (body.startsWith(QLatin1Char('#'))) {
        s = assignment(body);
    } else {
        qsizetype end = 0;
        while (end < body.size() && body.at(end) >= QLatin1Char('A') && body.at(end) <= QLatin1Char('Z'))
            ++end;
        if (end == 0)
            return invalid(Fault::UnknownStatement, QStringLiteral("無法辨識的指令「%1」").arg(text));
        s = keywordStatement(body.left(end), body.mid(end));
    }
    if (s.op != Op::Invalid && !terminated)
        return invalid(Fault::Syntax, QStringLiteral("敘述結尾缺少分號 ;"));
    return s;
}

} // namespace talvex::sim
