// The note window's appearance: background and text colour, translucency that follows the
// focus, and the stay-on-top band.
#include "window/NoteAppearance.h"

#include "dialogs/SystemColors.h"
#include "dialogs/clsCommonDialog.h"
#include "shell/ErrorLog.h"
#include "shell/Settings.h"
#include "shell/WindowUtils.h"
#include "store/NoteRecord.h"
#include "window/CTranslucentForm.h"
#include "window/MenuFamilies.h"
#include "window/NoteColors.h"
#include "window/NoteMenuSet.h"
#include "window/NoteTextEdit.h"

#include <QSignalBlocker>
#include <algorithm>

namespace {
constexpr quint32 kPureRed = 255;

QTextCursor selectionOf(QTextDocument* document, int start, int length)
{
    QTextCursor cursor(document);
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    return cursor;
}

modMain::TopMostMode bandOf(bool onTop)
{
    return onTop ? modMain::TopMostMode::IntoBand : modMain::TopMostMode::OutOfBand;
}
} // namespace

NoteAppearance::NoteAppearance(std::unique_ptr<NoteAppearanceHost> host) : m_host(std::move(host))
{
}

NoteAppearance::~NoteAppearance() = default;

void NoteAppearance::setUp()
{
    NoteMenuSet& menus = m_host->menus();
    menus.setChecked(NoteMenus::mnuTop, -1, m_host->record().IsOnTop);
    menus.setChecked(NoteMenus::mnuAllWorkspaces, -1, m_host->record().OnAllWorkspaces);
    showOnTopImage();
    if (!CTranslucentForm::Supported())
        menus.setVisible(NoteMenus::mnuTransparentMain, -1, false);
    checkTransparencyMenu();
}

Result NoteAppearance::SetNoteColor(const QString& strColor, bool AllowForeColorChange)
{
    NoteTextEdit* text = m_host->textArea();
    // The separator and the subcaption are black in every colour; so is the selection.
    {
        const QSignalBlocker quiet(text);
        text->setTextColor(Qt::black);
    }
    const auto color = NoteColors::fromStoredText(strColor);
    if (!color)
        return AppError::fromNumber(ErrorNumber::TypeMismatch,
                                    QStringLiteral("frmMain: SetNoteColor"));
    QWidget* window = m_host->noteWindow();
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, *color);
    palette.setColor(QPalette::Base, *color);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    if (AllowForeColorChange)
        ChangeForeColor(0);
    m_host->record().Color = strColor;
    // Only a name checks its item; a custom value checks none.
    const int item = NoteColors::menuIndex(strColor);
    m_host->menus().checkFamily(NoteMenus::mnuSetColor,
                                item < NoteColors::namedCount() ? item : -1);
    window->update();
    m_host->noteChanged();
    return {};
}

void NoteAppearance::applyStoredColor(const QString& color)
{
    const Result failure = SetNoteColor(color, false);
    if (failure.ok())
        return;
    modMain::WriteLogEntry(failure.error().source, failure.error());
    // The default is a colour, so this one cannot fail.
    (void)SetNoteColor(modMain::settingDefault(modMain::Setting::Color), false);
}

void NoteAppearance::ChangeForeColor(qint32 colorValue)
{
    NoteTextEdit* text = m_host->textArea();
    const QTextCursor saved = text->textCursor();
    const int start = saved.selectionStart();
    const int length = saved.selectionEnd() - start;
    const QColor color = SystemColors::toQColor(static_cast<quint32>(colorValue));
    {
        // A new colour is no edit of the text: the changed marker stays as it is.
        const QSignalBlocker quiet(text);
        QTextCursor all(text->document());
        all.select(QTextCursor::Document);
        text->setTextCursor(all);
        text->setTextColor(color);
        text->setTextCursor(selectionOf(text->document(), start, length));
        // What is typed at the insertion point takes the colour too, even in an empty note.
        if (length == 0)
            text->setTextColor(color);
    }
    m_host->record().ForeColor = colorValue;
    m_host->noteChanged();
}

void NoteAppearance::mnuSetColor_Click(int Index)
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

void NoteAppearance::mnuFontColors_Click()
{
    if (const std::optional<qint32> chosen = askColor())
        ChangeForeColor(*chosen);
}

std::optional<qint32> NoteAppearance::askColor()
{
    QWidget* window = m_host->noteWindow();
    modMain::SetTopMost(window, modMain::TopMostMode::OutOfBand);
    clsCommonDialog dialog;
    dialog.setOwnerHandle(window);
    const qint32 chosen = dialog.ShowColor(true, kPureRed);
    setOnTopFromRecord();
    if (chosen == -1)
        return std::nullopt;
    return chosen;
}

void NoteAppearance::mnuTransparent_Click(int Index)
{
    static_assert(NoteColors::TransparencyLevels.size() == size_t(familyCount<TransparencyItem>()));
    if (Index < 0 || Index >= int(NoteColors::TransparencyLevels.size()))
        return;
    // Shown the next time the note loses the focus.
    m_host->record().Alpha = NoteColors::TransparencyLevels[size_t(Index)];
    checkTransparencyMenu();
}

void NoteAppearance::checkTransparencyMenu()
{
    m_host->menus().checkFamilyByValue(NoteMenus::mnuTransparent, NoteColors::TransparencyLevels,
                                       m_host->record().Alpha);
}

void NoteAppearance::mnuTop_Click()
{
    NoteRecord& record = m_host->record();
    record.IsOnTop = !record.IsOnTop;
    m_host->menus().setChecked(NoteMenus::mnuTop, -1, record.IsOnTop);
    showOnTopImage();
    if (!modMain::SetTopMost(m_host->noteWindow(), bandOf(record.IsOnTop)))
        modMain::WriteLogEntry(QStringLiteral("frmMain: mnuTop_Click"),
                               AppError::fromNumber(ErrorNumber::ObjectNotSet));
}

void NoteAppearance::mnuAllWorkspaces_Click()
{
    applyStoredWorkspaces(!m_host->record().OnAllWorkspaces);
    modMain::SetOnAllWorkspaces(m_host->noteWindow(), m_host->record().OnAllWorkspaces);
    m_host->noteChanged();
}

void NoteAppearance::applyStoredWorkspaces(bool onAll)
{
    m_host->record().OnAllWorkspaces = onAll;
    m_host->menus().setChecked(NoteMenus::mnuAllWorkspaces, -1, onAll);
}

void NoteAppearance::aboutToMap()
{
    if (m_host->record().OnAllWorkspaces)
        modMain::SetOnAllWorkspaces(m_host->noteWindow(), true);
}

// The table's images come with the menus; only the on-top image follows the note.
void NoteAppearance::showOnTopImage()
{
    m_host->menus().setImageKey(NoteMenus::mnuTop, -1,
                                m_host->record().IsOnTop ? QStringLiteral("Ontop")
                                                         : QStringLiteral("Normal"));
}

void NoteAppearance::setOnTopFromRecord()
{
    if (m_host->record().IsOnTop)
        modMain::SetTopMost(m_host->noteWindow(), modMain::TopMostMode::IntoBand);
}

void NoteAppearance::Form_Deactivate()
{
    const int alpha = m_host->record().Alpha;
    if (alpha == NoteColors::Opaque)
        return;
    if (!m_translucency)
        m_translucency = std::make_unique<CTranslucentForm>();
    m_translucency->setHWnd(m_host->noteWindow());
    m_translucency->setMode(CTranslucentForm::AlphaMode);
    m_translucency->setAlpha(static_cast<quint8>(std::clamp(alpha, 0, 255)));
}

void NoteAppearance::Form_Activate()
{
    // Releasing it makes the note opaque.
    m_translucency.reset();
}

void NoteAppearance::applicationStateChanged(Qt::ApplicationState state)
{
    if (state == Qt::ApplicationActive) {
        Form_Activate();
        modMain::SetTopMost(m_host->noteWindow(), bandOf(m_host->record().IsOnTop));
    } else {
        Form_Deactivate();
    }
}
