#pragma once

#include "core/operator.h"

#include <QPointer>
#include <QWidget>

class QProgressDialog;

namespace talvex {

/// The operator behind real message boxes, prompts and file dialogs.
class QtOperator : public Operator
{
public:
    explicit QtOperator(QWidget *parent = nullptr);
    ~QtOperator() override;

    void setParentWidget(QWidget *parent) { m_parent = parent; }

    void notice(const QString &text, const QString &title, Icon icon) override;
    bool askYesNo(const QString &text, const QString &title) override;
    Answer askYesNoCancel(const QString &text, const QString &title) override;
    bool askOkCancel(const QString &text, const QString &title, Icon icon) override;
    QString prompt(const QString &message, const QString &title, const QString &defaultText) override;
    QString openFileName(const QString &filter) override;
    QString saveFileName(const QString &filter) override;
    void showProgress(const QString &text, const QString &title, qint64 done, qint64 total) override;
    void endProgress() override;

private:
    QString titleOrDefault(const QString &title) const;

    QPointer<QWidget> m_parent;
    QProgressDialog *m_progress = nullptr;
};

} // namespace talvex
