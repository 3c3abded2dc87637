#include "shell/Clock.h"

namespace {
QDateTime& fixedNow()
{
    static QDateTime moment;
    return moment;
}
} // namespace

QDateTime Clock::now()
{
    return fixedNow().isValid() ? fixedNow() : QDateTime::currentDateTime();
}

void Clock::setFixedNow(const QDateTime& moment)
{
    fixedNow() = moment;
}
