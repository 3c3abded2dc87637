#include "dialogs/ModalBox.h"

#include <QCoreApplication>
#include <QEvent>
#include <vector>

namespace {
// While a box runs: swallows the deletions asked of the objects above it and asks them again
// once the box has returned. A box over a box holds the same objects once more; the inner one
// lets them go first, straight into the outer one's hold.
class DeletionHold : public QObject {
public:
    explicit DeletionHold(const QObject* box)
    {
        for (QObject* above = box->parent(); above; above = above->parent()) {
            above->installEventFilter(this);
            m_held.emplace_back(above);
        }
    }

    ~DeletionHold() override
    {
        for (const QPointer<QObject>& object : m_held) {
            if (object)
                object->removeEventFilter(this);
        }
        // Posted as deleteLater posts it; deleteLater itself may ignore a second call.
        for (const QPointer<QObject>& object : m_deleteAsked) {
            if (object)
                QCoreApplication::postEvent(object, new QDeferredDeleteEvent);
        }
    }

    DeletionHold(const DeletionHold&) = delete;
    DeletionHold& operator=(const DeletionHold&) = delete;
    DeletionHold(DeletionHold&&) = delete;
    DeletionHold& operator=(DeletionHold&&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::DeferredDelete)
            return false;
        m_deleteAsked.emplace_back(watched);
        return true;
    }

private:
    std::vector<QPointer<QObject>> m_held;
    std::vector<QPointer<QObject>> m_deleteAsked;
};
} // namespace

int ModalRun::exec(QDialog* dialog)
{
    if (!dialog)
        return QDialog::Rejected;
    const QPointer<QDialog> box(dialog);
    const DeletionHold hold(dialog);
    const int result = dialog->exec();
    return box ? result : int(QDialog::Rejected);
}
