#include "dialogs/ModalBox.h"

#include "dialogs/WindowBand.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>
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

    ~DeletionHold() override { unwatch(); }

    // The box has returned: the deletions asked meanwhile are asked again, as deleteLater asks
    // them (deleteLater itself may ignore a second call).
    void release()
    {
        unwatch();
        for (const QPointer<QObject>& object : m_deleteAsked) {
            if (object)
                QCoreApplication::postEvent(object, new QDeferredDeleteEvent);
        }
        m_deleteAsked.clear();
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
        if (std::find(m_deleteAsked.begin(), m_deleteAsked.end(), watched) == m_deleteAsked.end())
            m_deleteAsked.emplace_back(watched);
        return true;
    }

private:
    void unwatch()
    {
        for (const QPointer<QObject>& object : m_held) {
            if (object)
                object->removeEventFilter(this);
        }
        m_held.clear();
    }

    std::vector<QPointer<QObject>> m_held;
    std::vector<QPointer<QObject>> m_deleteAsked;
};
} // namespace

int ModalRun::exec(QDialog* dialog)
{
    if (!dialog)
        return QDialog::Rejected;
    const QPointer<QDialog> box(dialog);
    DeletionHold hold(dialog);
    int result = QDialog::Rejected;
    {
        const WindowBand::BoxHold band(dialog);
        result = dialog->exec();
    }
    hold.release();
    return box ? result : int(QDialog::Rejected);
}
