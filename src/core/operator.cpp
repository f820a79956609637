#include "core/operator.h"

namespace talvex {

Operator::~Operator() = default;

void Operator::showProgress(const QString &, const QString &, qint64, qint64) {}

void Operator::endProgress() {}

} // namespace talvex
