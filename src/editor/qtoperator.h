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

    Reply ask(const Request &request) override;
    void showProgress(const QString &text, const QString &title, qint64 done, qint64 total) override;
    void endProgress() override;

private:
    QString titleOrDefault(const QString &title) const;
    Reply askInBox(const Request &request);

    QPointer<QWidget> m_parent;
    QProgressDialog *m_progress = nullptr;
};

} // namespace talvex
