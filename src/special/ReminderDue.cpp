#include "special/ReminderDue.h"

namespace {
constexpr int kSecondsPerDay = 24 * 60 * 60;
constexpr int kDueWindow = 10;
} // namespace

bool modSpecialNote::IsReminderDue(const QTime& reminder, const QTime& now)
{
    const int after = (reminder.secsTo(now) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
    return after > 0 && after < kDueWindow;
}
