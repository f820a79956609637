#pragma once

#include <QString>

#include <vector>

namespace talvex::sim {

/// Why a program statement cannot be run. Each kind has a stable code word for the
/// control channel and a text for the operator.
enum class Fault
{
    None,
    Syntax,             ///< a known statement written wrongly (missing ';', stray text)
    UnknownStatement,   ///< not a statement of the language at all
    BadNumber,          ///< a number that does not read, or lies outside its range
    UnknownLabel,       ///< a jump to a label the program does not define
    DuplicateLabel,     ///< a jump to a label the program defines twice
    UndeclaredVariable, ///< a variable used without "SI"
    NoProgram,          ///< "G" with no program loaded
};

/// "unknown-label", ... (stable, for scripts and tests).
QString faultCode(Fault fault);
/// "找不到標籤", ... (for the operator).
QString faultText(Fault fault);

/// What one program statement does.
enum class Op
{
    Nothing,     ///< a blank line
    Begin,       ///< "{"
    End,         ///< "}": the program ends here
    ClearVars,   ///< "CLR VAR;"
    SetAccel,    ///< "VA a;"
    Declare,     ///< "SI #v;"
    Label,       ///< "$name:;"
    Jump,        ///< "JP $name;"
    Assign,      ///< "#v=expression;"
    JumpNotZero, ///< "JNZ #v,$name;"
    WaitInput,   ///< "WI n;"
    MoveX,       ///< "XMA x;"
    MoveY,       ///< "YMA y;"
    WaitMotion,  ///< "DN;"
    Outputs,     ///< "OUTP p;"
    SetSpeed,    ///< "VM=v;"
    HomeX,       ///< "XH;"
    HomeY,       ///< "YH;"
    WaitTime,    ///< "WT t;"
    Invalid,     ///< could not be read; see fault
};

/// One term of an assignment's right-hand side: a number or a variable, added or
/// subtracted.
struct Term
{
    bool negative = false;
    QString variable; ///< empty for a number
    double number = 0.0;
};

/// A statement as read from one program line.
struct Statement
{
    Op op = Op::Invalid;
    double number = 0.0;     ///< the argument of VA, WI, XMA, YMA, OUTP, VM=, WT
    QString name;            ///< label defined, variable declared, assigned or tested
    QString target;          ///< the label jumped to
    std::vector<Term> terms; ///< right-hand side of an assignment
    Fault fault = Fault::None;
    QString detail; ///< what exactly is wrong, for the operator
};

/// Reads one program line. Keywords are upper case; a statement ends with ';'
/// ("{" and "}" stand alone). Label names are kept exactly as written between "$"
/// and ":" (inner and trailing spaces included), so a jump finds the label whenever
/// both were written from the same text.
Statement parseStatement(const QString &line);

/// Reads a plain decimal number (sign, digits, one point; no exponent, no blanks
/// inside). Returns false for anything else.
bool readNumber(const QString &text, double *value);

/// A variable name: "#", letters or '_', then digits ("#IN", "#L12").
bool isVariableName(const QString &text);

} // namespace talvex::sim
