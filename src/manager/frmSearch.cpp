#include "manager/frmSearch.h"

#include "shell/BackgroundTask.h"
#include "store/RecentFiles.h"
#include "window/NoteColors.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QPointer<frmSearch>& instance()
{
    static QPointer<frmSearch> window;
    return window;
}

// Long enough to let a word be typed whole, short enough to feel immediate.
constexpr int kTypingPauseMs = 150;
// More rows than anyone reads; a short query in many notes stays cheap to show.
constexpr qsizetype kMaxRows = 200;

// What a row draws beyond its first line, kept in the item.
enum ResultRole {
    ContextHtmlRole = Qt::UserRole,
    PlaceRole,
    ColorRole,
};

constexpr int kSwatch = 14;
constexpr int kMargin = 6;

// A row: the colour swatch, the first line with where the note lives beside it, and the
// match in its context below, the match in bold.
class ResultDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem base = option;
        initStyleOption(&base, index);
        base.text.clear();
        const QWidget* view = option.widget;
        QStyle* style = view ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &base, painter, view);

        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorRole textRole = selected ? QPalette::HighlightedText : QPalette::Text;
        const QRect area = option.rect.adjusted(kMargin, kMargin / 2, -kMargin, -kMargin / 2);
        const int lineHeight = option.fontMetrics.height();

        painter->save();
        const QRect swatch(area.left(), area.top() + (lineHeight - kSwatch) / 2, kSwatch, kSwatch);
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->setBrush(index.data(ColorRole).value<QColor>());
        painter->drawRect(swatch.adjusted(0, 0, -1, -1));

        const QRect text = area.adjusted(kSwatch + kMargin, 0, 0, 0);
        QFont small = option.font;
        small.setPointSizeF(small.pointSizeF() * 0.9);
        const QString place = index.data(PlaceRole).toString();
        const int placeWidth =
            std::min(QFontMetrics(small).horizontalAdvance(place) + kMargin, text.width() / 2);
        const QRect firstLine(text.left(), text.top(), text.width() - placeWidth, lineHeight);
        QFont bold = option.font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->setPen(option.palette.color(textRole));
        painter->drawText(firstLine, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(bold).elidedText(index.data(Qt::DisplayRole).toString(),
                                                        Qt::ElideRight, firstLine.width()));
        painter->setFont(small);
        if (!selected)
            painter->setPen(option.palette.color(QPalette::PlaceholderText));
        const QRect placeRect(text.right() - placeWidth, text.top(), placeWidth, lineHeight);
        painter->drawText(placeRect, Qt::AlignRight | Qt::AlignVCenter,
                          QFontMetrics(small).elidedText(place, Qt::ElideMiddle, placeWidth));

        QTextDocument context;
        context.setDefaultFont(option.font);
        context.setDocumentMargin(0);
        context.setTextWidth(text.width());
        context.setDefaultStyleSheet(
            QStringLiteral("body { color: %1; }").arg(option.palette.color(textRole).name()));
        context.setHtml(QStringLiteral("<body>") + index.data(ContextHtmlRole).toString() +
                        QStringLiteral("</body>"));
        const int contextTop = text.top() + lineHeight + kMargin / 2;
        painter->translate(text.left(), contextTop);
        context.drawContents(painter, QRectF(0, 0, text.width(), 2 * lineHeight));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return {option.rect.width(), 3 * option.fontMetrics.height() + 2 * kMargin};
    }
};

QString contextHtml(const SearchMatch& match)
{
    return match.before.toHtmlEscaped() + QStringLiteral("<b>") + match.matched.toHtmlEscaped() +
           QStringLiteral("</b>") + match.after.toHtmlEscaped();
}
} // namespace

frmSearch* frmSearch::showWith(const QString& text)
{
    QPointer<frmSearch>& window = instance();
    if (!window) {
        window = new frmSearch;
        // The window has no owner: it goes with the program at the latest.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp,
                         [search = QPointer<frmSearch>(window)] { delete search.data(); });
    }
    window->refreshFiles();
    if (!text.isEmpty()) {
        window->m_txtSearch->setText(text);
        window->runSearch();
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    window->m_txtSearch->setFocus();
    window->m_txtSearch->selectAll();
    return window;
}

frmSearch* frmSearch::current()
{
    return instance();
}

frmSearch::frmSearch() : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSearch"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The notes may all be hidden: closing this window never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_txtSearch = new QLineEdit(this);
    m_txtSearch->setObjectName(QStringLiteral("txtSearch"));
    m_txtSearch->setClearButtonEnabled(true);
    m_txtSearch->installEventFilter(this);
    m_lstResults = new QListWidget(this);
    m_lstResults->setObjectName(QStringLiteral("lstResults"));
    m_lstResults->setItemDelegate(new ResultDelegate(m_lstResults));
    m_lstResults->setUniformItemSizes(true);
    m_lstResults->installEventFilter(this);
    m_lblStatus = new QLabel(this);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_txtSearch);
    layout->addWidget(m_lstResults, 1);
    layout->addWidget(m_lblStatus);

    m_typing = new QTimer(this);
    m_typing->setSingleShot(true);
    m_typing->setInterval(kTypingPauseMs);
    connect(m_typing, &QTimer::timeout, this, &frmSearch::runSearch);
    connect(m_txtSearch, &QLineEdit::textChanged, m_typing, qOverload<>(&QTimer::start));
    connect(m_lstResults, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { openMatch(m_lstResults->row(item)); });

    retranslate();
    resize(520, 420);
}

frmSearch::~frmSearch() = default;

bool frmSearch::isLoading() const
{
    return m_reading && m_reading->isRunning();
}

void frmSearch::retranslate()
{
    setWindowTitle(tr("Search Notes"));
    m_txtSearch->setPlaceholderText(tr("Search the notes"));
    listMatches();
}

void frmSearch::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void frmSearch::refreshFiles()
{
    m_recent.clear();
    for (const RecentFiles::Entry& entry : RecentFiles::read())
        m_recent << entry.path;
    m_reading = BackgroundTask::start(
        this,
        [paths = m_recent, cache = m_files](const BackgroundTask::Abandoned&) {
            return refreshed(paths, cache);
        },
        [this](const FileCache& files) {
            m_files = files;
            runSearch();
        });
}

frmSearch::FileCache frmSearch::refreshed(const QStringList& paths, const FileCache& cache)
{
    FileCache files;
    for (const QString& path : paths) {
        const QFileInfo file(path);
        if (!file.isFile())
            continue;
        const QDateTime modified = file.lastModified();
        const auto known = cache.constFind(path);
        if (known != cache.constEnd() && known->modified == modified)
            files.insert(path, *known);
        else
            files.insert(path, FileNotes{modified, NoteSearch::readFile(path)});
    }
    return files;
}

QList<SearchableNote> frmSearch::openNotes()
{
    QList<SearchableNote> notes;
    for (frmMain* window : frmMain::openWindows()) {
        const QString text = window->Text();
        const auto known = std::find_if(m_open.cbegin(), m_open.cend(), [&](const auto& note) {
            return note.place.window == window && note.text.plain() == text;
        });
        if (known != m_open.cend())
            notes << *known;
        else
            notes << SearchableNote{SearchableText(text), window->note().Color,
                                    NotePlace{window, {}, -1, {}}};
        notes.back().color = window->note().Color;
    }
    m_open = notes;
    return notes;
}

QList<SearchableNote> frmSearch::fileNotes() const
{
    // A file's first note that is open, tied to its file, is found as the open note.
    QStringList tied;
    for (const frmMain* window : frmMain::openWindows())
        tied << window->NoteFileName();
    QList<SearchableNote> notes;
    for (const QString& path : m_recent) {
        for (const SearchableNote& note : m_files.value(path).notes) {
            if (note.place.index != 0 || !tied.contains(path))
                notes << note;
        }
    }
    return notes;
}

void frmSearch::runSearch()
{
    m_typing->stop();
    m_matches = NoteSearch::search(openNotes() + fileNotes(), m_txtSearch->text());
    if (m_matches.size() > kMaxRows)
        m_matches.resize(kMaxRows);
    listMatches();
}

void frmSearch::listMatches()
{
    m_lstResults->clear();
    for (const SearchMatch& match : m_matches) {
        auto* item = new QListWidgetItem(match.firstLine, m_lstResults);
        item->setData(ContextHtmlRole, contextHtml(match));
        const bool open = match.place.file.isEmpty();
        item->setData(PlaceRole, open ? tr("open note")
                                      : tr("%1, note %2")
                                            .arg(QFileInfo(match.place.file).fileName())
                                            .arg(match.place.index + 1));
        item->setToolTip(open ? QString() : match.place.file);
        item->setData(ColorRole, NoteColors::fromStoredText(match.color).value_or(Qt::white));
    }
    if (!m_matches.isEmpty())
        m_lstResults->setCurrentRow(0);
    const bool nothing = m_matches.isEmpty() && !m_txtSearch->text().trimmed().isEmpty();
    m_lblStatus->setText(nothing ? tr("No note holds this text.") : QString());
}

void frmSearch::openMatch(int row)
{
    if (row < 0 || row >= m_matches.size())
        return;
    const NotePlace& place = m_matches.at(row).place;
    if (place.file.isEmpty()) {
        auto* note = qobject_cast<frmMain*>(place.window.data());
        if (!note) // closed since it was listed
            return;
        if (note->isMinimizedToStrip())
            note->RestoreNote();
        if (note->isMinimized())
            note->showNormal();
        note->show();
        note->raise();
        note->activateWindow();
        return;
    }
    // As the manager shows a note of a file: a copy on the desktop, the file left as it is.
    frmMain* note = frmMain::create(NoteOrigin::ManagerCopy, place.record);
    note->show();
    note->raise();
    note->activateWindow();
}

void frmSearch::moveSelection(int step)
{
    const int count = m_lstResults->count();
    if (count == 0)
        return;
    m_lstResults->setCurrentRow(std::clamp(m_lstResults->currentRow() + step, 0, count - 1));
}

bool frmSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // What was typed last is searched before its first match opens.
        if (m_typing->isActive())
            runSearch();
        openMatch(m_lstResults->currentRow());
        return true;
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (watched != m_txtSearch)
            break;
        moveSelection(key->key() == Qt::Key_Down ? 1 : -1);
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void frmSearch::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
