// The note window's appearance: background and text colour, translucency that follows the
// focus, the stay-on-top band, and moving the note by its caption with snapping to the edges
// of the work area.
#include "dialogs/SystemColors.h"
#include "dialogs/clsCommonDialog.h"
#include "shell/ErrorLog.h"
#include "shell/Settings.h"
#include "shell/Twips.h"
#include "shell/WindowUtils.h"
#include "window/CTranslucentForm.h"
#include "window/NoteColors.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

#include <QEvent>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

namespace {
constexpr quint32 kPureRed = 255;
constexpr int kSnapPixels = 20;

QTextCursor selectionOf(QTextDocument* document, int start, int length)
{
    QTextCursor cursor(document);
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    return cursor;
}
} // namespace

Result frmMain::SetNoteColor(const QString& strColor, bool AllowForeColorChange)
{
    // The separator and the subcaption are black in every colour; so is the selection.
    {
        const QSignalBlocker quiet(m_rtb);
        m_rtb->setTextColor(Qt::black);
    }
    const auto color = NoteColors::fromStoredText(strColor);
    if (!color)
        return AppError::fromNumber(ErrorNumber::TypeMismatch,
                                    QStringLiteral("frmMain: SetNoteColor"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, *color);
    palette.setColor(QPalette::Base, *color);
    setPalette(palette);
    setAutoFillBackground(true);
    if (AllowForeColorChange)
        ChangeForeColor(0);
    m_Note.Color = strColor;
    // Only a name checks its item; a custom value checks none.
    const int item = NoteColors::menuIndex(strColor);
    checkFamily(NoteMenus::mnuSetColor, item < NoteColors::namedCount() ? item : -1);
    update();
    emit noteChanged();
    return {};
}

void frmMain::applyStoredColor(const QString& color)
{
    const Result failure = SetNoteColor(color, false);
    if (failure.ok())
        return;
    modMain::WriteLogEntry(failure.error().source, failure.error());
    // The default is a colour, so this one cannot fail.
    (void)SetNoteColor(modMain::settingDefault(modMain::Setting::Color), false);
}

void frmMain::ChangeForeColor(qint32 colorValue)
{
    const QTextCursor saved = m_rtb->textCursor();
    const int start = saved.selectionStart();
    const int length = saved.selectionEnd() - start;
    {
        // A new colour is no edit of the text: the changed marker stays as it is.
        const QSignalBlocker quiet(m_rtb);
        QTextCursor all(m_rtb->document());
        all.select(QTextCursor::Document);
        m_rtb->setTextCursor(all);
        m_rtb->setTextColor(SystemColors::toQColor(static_cast<quint32>(colorValue)));
        m_rtb->setTextCursor(selectionOf(m_rtb->document(), start, length));
        // What is typed at the insertion point takes the colour too, even in an empty note.
        if (length == 0)
            m_rtb->setTextColor(SystemColors::toQColor(static_cast<quint32>(colorValue)));
    }
    m_Note.ForeColor = colorValue;
    emit noteChanged();
}

void frmMain::mnuSetColor_Click(int Index)
{
    // A colour value written as a number always applies: these calls cannot fail.
    if (const NoteColors::NamedColor* named = NoteColors::named(Index)) {
        (void)SetNoteColor(QString::number(named->value), true);
        return;
    }
    if (Index != int(ColorItem::CustomColor))
        return;
    if (const std::optional<qint32> chosen = askColor())
        (void)SetNoteColor(QString::number(*chosen), true);
}

void frmMain::mnuFontColors_Click()
{
    if (const std::optional<qint32> chosen = askColor())
        ChangeForeColor(*chosen);
}

std::optional<qint32> frmMain::askColor()
{
    modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
    clsCommonDialog dialog;
    dialog.setOwnerHandle(this);
    const qint32 chosen = dialog.ShowColor(true, kPureRed);
    setOnTopFromRecord();
    if (chosen == -1)
        return std::nullopt;
    return chosen;
}

void frmMain::mnuTransparent_Click(int Index)
{
    static_assert(NoteColors::TransparencyLevels.size() == size_t(familyCount<TransparencyItem>()));
    if (Index < 0 || Index >= int(NoteColors::TransparencyLevels.size()))
        return;
    // Shown the next time the note loses the focus.
    m_Note.Alpha = NoteColors::TransparencyLevels[size_t(Index)];
    checkFamily(NoteMenus::mnuTransparent, Index);
}

void frmMain::mnuTop_Click()
{
    m_Note.IsOnTop = toggleItem(NoteMenus::mnuTop);
    showOnTopImage();
    const bool moved = modMain::SetTopMost(this, m_Note.IsOnTop ? modMain::TopMostMode::IntoBand
                                                                : modMain::TopMostMode::OutOfBand);
    if (!moved)
        modMain::WriteLogEntry(QStringLiteral("frmMain: mnuTop_Click"),
                               AppError::fromNumber(ErrorNumber::ObjectNotSet));
}

void frmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        Form_Activate();
    else
        Form_Deactivate();
}

void frmMain::Form_Deactivate()
{
    if (m_Note.Alpha == NoteColors::Opaque)
        return;
    if (!m_translucency)
        m_translucency = std::make_unique<CTranslucentForm>();
    m_translucency->setHWnd(this);
    m_translucency->setMode(CTranslucentForm::AlphaMode);
    m_translucency->setAlpha(static_cast<quint8>(std::clamp(m_Note.Alpha, 0, 255)));
}

void frmMain::Form_Activate()
{
    // Releasing it makes the note opaque.
    m_translucency.reset();
}

void frmMain::onApplicationStateChanged(Qt::ApplicationState state)
{
    if (state == Qt::ApplicationActive) {
        Form_Activate();
        modMain::SetTopMost(this, m_Note.IsOnTop ? modMain::TopMostMode::IntoBand
                                                 : modMain::TopMostMode::OutOfBand);
    } else {
        Form_Deactivate();
    }
}

void frmMain::setUpAppearance()
{
    m_docking.setParentForm(this);
    m_docking.setSnapDistance(
        static_cast<qint32>(std::lround(Twips::perPixel(screen()) * kSnapPixels)));
    if (!CTranslucentForm::Supported())
        setItemVisible(NoteMenus::mnuTransparentMain, -1, false);
}

QPointF frmMain::twipsInWindow(QPoint globalPos) const
{
    const double perPixel = Twips::perPixel(screen());
    const QPoint local = globalPos - pos();
    return {local.x() * perPixel, local.y() * perPixel};
}

void frmMain::startMoveDrag(QPoint globalPos)
{
    const QPointF at = twipsInWindow(globalPos);
    m_docking.StartDockDrag(at.x(), at.y());
    m_moveDragging = true;
}

void frmMain::followMoveDrag(QPoint globalPos)
{
    if (!m_moveDragging)
        return;
    const QPointF at = twipsInWindow(globalPos);
    m_docking.UpdateDockDrag(at.x(), at.y());
}
