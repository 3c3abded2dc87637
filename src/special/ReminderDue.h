#pragma once

#include <QTime>

namespace modSpecialNote {
// A reminder is due in the ten seconds after its time, both ends excluded. Only the time of
// day counts, so the ten seconds may run on past midnight.
bool IsReminderDue(const QTime& reminder, const QTime& now);
} // namespace modSpecialNote
