#pragma once

#include <QDateTime>

// The one source of the time of day, so tests can fix it.
namespace Clock {
QDateTime now();
// Tests: make now() answer this moment (an invalid value returns to the real clock).
void setFixedNow(const QDateTime& moment);
} // namespace Clock
