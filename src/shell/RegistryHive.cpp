#include "shell/RegistryHive.h"

#include "shell/AppError.h"
#include "shell/AtomicFile.h"
#include "shell/Clock.h"
#include "shell/ErrorLog.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringDecoder>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using Type = RegistryTypes;
constexpr int kLockWaitMs = 10000;
constexpr qint64 kMaxHiveBytes = qint64(16) * 1024 * 1024;
constexpr int kHexLineWidth = 78;

const QString kHeader4 = QStringLiteral("REGEDIT4");
const QString kHeader5 = QStringLiteral("Windows Registry Editor Version 5.00");
constexpr QByteArrayView kUtf16Bom("\xFF\xFE");
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

// A key line is one line of text and a path is split at backslashes, so neither an empty part
// nor a line break can be part of a key name.
bool isValidPath(const QString& path)
{
    if (path.isEmpty())
        return false;
    for (const auto part : QStringView(path).split(u'\\')) {
        if (part.isEmpty() || part.contains(u'\n') || part.contains(u'\r') ||
            part.contains(QChar(0)))
            return false;
    }
    return true;
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Version 5 files are UTF-16LE, and so are the text values they hold. Nothing when the bytes
// are no whole number of code units; a leading byte order mark is kept as a character.
std::optional<QString> fromUtf16(QByteArrayView bytes)
{
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QString decodeFile(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf16Bom)) {
        // A last odd byte is no character and is left out.
        const QByteArrayView units = QByteArrayView(bytes).sliced(kUtf16Bom.size());
        return *fromUtf16(units.first(units.size() & ~qsizetype(1)));
    }
    if (bytes.startsWith(kUtf8Bom))
        return QString::fromUtf8(bytes.mid(kUtf8Bom.size()));
    return QString::fromUtf8(bytes);
}

class HiveParser {
public:
    // A salvaging parser skips each line it cannot read instead of giving up.
    HiveParser(const QString& text, bool salvage) : m_text(text), m_salvage(salvage) {}

    std::optional<RegistryHive> run(QString* error)
    {
        RegistryHive hive;
        const bool ok = (parseHeader() || m_salvage) && parseBody(hive);
        if (ok)
            return hive;
        if (error)
            *error = QStringLiteral("line %1: %2").arg(m_line).arg(m_error);
        return std::nullopt;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_pos]; }
    bool atLineEnd() const { return atEnd() || peek() == u'\n' || peek() == u'\r'; }

    QChar take()
    {
        const QChar c = m_text[m_pos++];
        if (c == u'\n')
            ++m_line;
        return c;
    }

    bool fail(const QString& why)
    {
        m_error = why;
        return false;
    }

    void skipSpaces()
    {
        while (!atEnd() && (peek() == u' ' || peek() == u'\t'))
            ++m_pos;
    }

    void skipBlank()
    {
        while (!atEnd() && peek().isSpace())
            take();
    }

    QString takeLine()
    {
        const qsizetype start = m_pos;
        while (!atEnd() && peek() != u'\n')
            ++m_pos;
        QString line = m_text.mid(start, m_pos - start);
        if (line.endsWith(u'\r'))
            line.chop(1);
        return line;
    }

    bool expectLineEnd()
    {
        skipSpaces();
        if (peek() == u';')
            takeLine();
        return atLineEnd() || fail(QStringLiteral("unexpected text after the value"));
    }

    bool parseHeader()
    {
        skipBlank();
        if (atEnd())
            return true; // an empty file is an empty hive
        const qsizetype start = m_pos;
        const QString header = takeLine().trimmed();
        m_unicode = header == kHeader5;
        if (m_unicode || header == kHeader4)
            return true;
        m_pos = start; // a salvaging parser reads the line as the first statement
        return fail(QStringLiteral("unknown header"));
    }

    bool parseBody(RegistryHive& hive)
    {
        for (skipBlank(); !atEnd(); skipBlank()) {
            const qsizetype start = m_pos;
            const int startLine = m_line;
            const QChar c = peek();
            bool ok = true;
            if (c == u';')
                takeLine();
            else if (c == u'[')
                ok = parseKeyLine(hive);
            else if (c == u'"' || c == u'@')
                ok = parseValueLine(hive);
            else
                ok = fail(QStringLiteral("unexpected text"));
            if (!ok && !m_salvage)
                return false;
            if (!ok)
                skipDamagedLine(start, startLine);
        }
        return true;
    }

    // Only the first line of what did not parse goes (an unterminated string would otherwise
    // take the rest of the file); values after a damaged key line belong to no key.
    void skipDamagedLine(qsizetype start, int startLine)
    {
        m_pos = start;
        m_line = startLine;
        takeLine();
        if (m_failedKey) {
            m_currentKey.clear();
            m_skipping = true;
        }
        m_failedKey = false;
    }

    bool parseKeyLine(RegistryHive& hive)
    {
        m_failedKey = true;
        const QString line = takeLine();
        const qsizetype close = line.lastIndexOf(u']');
        if (close < 0)
            return fail(QStringLiteral("key line without ']'"));
        const QStringView rest = QStringView(line).mid(close + 1).trimmed();
        if (!rest.isEmpty() && !rest.startsWith(u';'))
            return fail(QStringLiteral("unexpected text after the key"));
        QString path = line.mid(1, close - 1);
        m_skipping = path.startsWith(u'-'); // deletions of keys do not apply to a stored hive
        m_currentKey.clear();
        if (m_skipping) {
            m_failedKey = false;
            return true;
        }
        if (path.endsWith(u'\\'))
            path.chop(1);
        if (hive.createKey(path) != RegistryHive::Status::Ok)
            return fail(QStringLiteral("invalid key name"));
        m_currentKey = path;
        m_failedKey = false;
        return true;
    }

    bool parseValueLine(RegistryHive& hive)
    {
        QString name;
        if (peek() == u'@')
            take();
        else if (!parseQuoted(&name))
            return false;
        skipSpaces();
        if (peek() != u'=')
            return fail(QStringLiteral("'=' expected"));
        take();
        skipSpaces();
        quint32 type = 0;
        QByteArray data;
        bool deletion = false;
        if (!parseData(&type, &data, &deletion) || !expectLineEnd())
            return false;
        if (m_skipping || deletion)
            return true;
        if (m_currentKey.isEmpty())
            return fail(QStringLiteral("value outside a key"));
        hive.setValue(m_currentKey, name, type, data);
        return true;
    }

    bool parseQuoted(QString* out)
    {
        take(); // the opening quote
        while (!atEnd()) {
            const QChar c = take();
            if (c == u'"')
                return true;
            if (c != u'\\' || atEnd()) {
                out->append(c);
                continue;
            }
            const QChar escaped = take();
            if (escaped == u'n')
                out->append(u'\n');
            else if (escaped == u'\\' || escaped == u'"')
                out->append(escaped);
            else
                out->append(c).append(escaped);
        }
        return fail(QStringLiteral("unterminated string"));
    }

    bool startsWithWord(QLatin1StringView word) const
    {
        return QStringView(m_text).mid(m_pos).startsWith(word, Qt::CaseInsensitive);
    }

    bool parseData(quint32* type, QByteArray* data, bool* deletion)
    {
        if (peek() == u'"') {
            QString text;
            if (!parseQuoted(&text))
                return false;
            *type = Type::REG_SZ;
            *data = text.toUtf8().append('\0');
            return true;
        }
        if (peek() == u'-') {
            take();
            *deletion = true;
            return true;
        }
        if (startsWithWord(QLatin1StringView("dword:"))) {
            m_pos += 6;
            return parseDword(type, data);
        }
        if (startsWithWord(QLatin1StringView("hex"))) {
            m_pos += 3;
            return parseHexType(type) && parseHexList(data) && convertUnicode(*type, data);
        }
        return fail(QStringLiteral("unknown value type"));
    }

    bool parseDword(quint32* type, QByteArray* data)
    {
        const qsizetype start = m_pos;
        while (!atEnd() && isHexDigit(peek()))
            ++m_pos;
        bool ok = false;
        const quint32 number = QStringView(m_text).mid(start, m_pos - start).toUInt(&ok, 16);
        if (!ok || m_pos - start > 8)
            return fail(QStringLiteral("bad dword"));
        *type = Type::REG_DWORD;
        data->resize(sizeof(number));
        qToLittleEndian(number, data->data());
        return true;
    }

    bool parseHexType(quint32* type)
    {
        *type = Type::REG_BINARY;
        if (peek() == u'(') {
            take();
            const qsizetype start = m_pos;
            while (!atEnd() && isHexDigit(peek()))
                ++m_pos;
            bool ok = false;
            *type = QStringView(m_text).mid(start, m_pos - start).toUInt(&ok, 16);
            if (!ok || peek() != u')')
                return fail(QStringLiteral("bad hex type"));
            take();
        }
        if (peek() != u':')
            return fail(QStringLiteral("':' expected"));
        take();
        return true;
    }

    bool parseHexList(QByteArray* data)
    {
        while (true) {
            skipSpaces();
            if (atLineEnd() || peek() == u';')
                return true;
            if (peek() == u'\\') { // the list goes on in the next line
                take();
                skipSpaces();
                if (peek() == u'\r')
                    take();
                if (peek() != u'\n')
                    return fail(QStringLiteral("text after '\\'"));
                take();
                continue;
            }
            const qsizetype start = m_pos;
            while (m_pos - start < 2 && !atEnd() && isHexDigit(peek()))
                ++m_pos;
            if (m_pos == start)
                return fail(QStringLiteral("bad hex byte"));
            data->append(char(QStringView(m_text).mid(start, m_pos - start).toUInt(nullptr, 16)));
            skipSpaces();
            if (peek() == u',')
                take();
        }
    }

    bool convertUnicode(quint32 type, QByteArray* data)
    {
        const bool isText =
            type == Type::REG_SZ || type == Type::REG_EXPAND_SZ || type == Type::REG_MULTI_SZ;
        if (!m_unicode || !isText)
            return true;
        const auto text = fromUtf16(*data);
        if (!text)
            return fail(QStringLiteral("odd length of UTF-16 data"));
        *data = text->toUtf8(); // our 8-bit code page is UTF-8
        return true;
    }

    const QString& m_text;
    const bool m_salvage;
    bool m_failedKey = false;
    qsizetype m_pos = 0;
    int m_line = 1;
    bool m_unicode = false;
    bool m_skipping = false;
    QString m_currentKey;
    QString m_error;
};

QByteArray quoted(const QString& text)
{
    QString escaped = text;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return '"' + escaped.toUtf8() + '"';
}

// Texts go out quoted only when reading the quoted form gives back the very same bytes.
bool isQuotable(const RegistryValue& value)
{
    const QByteArray& data = value.data;
    if (value.type != Type::REG_SZ || !data.endsWith('\0'))
        return false;
    const QByteArray text = data.chopped(1);
    if (text.contains('\0') || text.contains('\n') || text.contains('\r'))
        return false;
    return QString::fromUtf8(text).toUtf8() == text;
}

QByteArray hexList(const QByteArray& data, qsizetype column)
{
    QByteArray out;
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (i > 0) {
            out += ',';
            ++column;
            if (column + 3 > kHexLineWidth) {
                out += "\\\n  ";
                column = 2;
            }
        }
        out += QByteArray::number(quint8(data[i]), 16).rightJustified(2, '0');
        column += 2;
    }
    return out;
}

QByteArray valueLine(const RegistryValue& value)
{
    QByteArray line = value.name.isEmpty() ? QByteArray("@") : quoted(value.name);
    line += '=';
    if (isQuotable(value))
        return line + quoted(QString::fromUtf8(value.data.chopped(1)));
    if (value.type == Type::REG_DWORD && value.data.size() == sizeof(quint32)) {
        const auto number = qFromLittleEndian<quint32>(value.data.constData());
        return line + "dword:" + QByteArray::number(number, 16).rightJustified(8, '0');
    }
    line += value.type == Type::REG_BINARY ? QByteArray("hex:")
                                           : "hex(" + QByteArray::number(value.type, 16) + "):";
    const qsizetype lastBreak = line.lastIndexOf('\n');
    return line + hexList(value.data, line.size() - lastBreak - 1);
}

// What tells one version of the file from another without reading it. A rename gives a new
// inode, and within one clock tick the times alone may not differ.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

constexpr qint64 kNsPerSecond = 1000000000;
// A file changed this recently may change again without its identity showing it.
constexpr qint64 kRecentNs = 2 * kNsPerSecond;

FileIdentity identityOf(const struct stat& info)
{
    return FileIdentity{info.st_dev, info.st_ino, qint64(info.st_size),
                        qint64(info.st_mtim.tv_sec) * kNsPerSecond + info.st_mtim.tv_nsec,
                        qint64(info.st_ctim.tv_sec) * kNsPerSecond + info.st_ctim.tv_nsec};
}

bool isRecent(const FileIdentity& identity)
{
    const qint64 nowNs = QDateTime::currentMSecsSinceEpoch() * (kNsPerSecond / 1000);
    return nowNs - qMax(identity.modifiedNs, identity.changedNs) < kRecentNs;
}

// The file's bytes and identity; a missing file is an empty one. Nothing when the file cannot
// be read or is no plain file of sensible size: a FIFO would block the reader, a device or a
// huge file would never end.
struct HiveFile {
    QByteArray bytes;
    FileIdentity identity;
};

bool isReadableHive(const struct stat& info)
{
    return S_ISREG(info.st_mode) && info.st_size <= kMaxHiveBytes;
}

// The file's bytes, at most kMaxHiveBytes. Reading by the size seen keeps the buffer (which
// the hive cache holds on to) as small as the file rather than as large as the bound; a file
// that grew since the look is still read whole.
QByteArray readBounded(QFile& in, qint64 sizeSeen)
{
    constexpr qint64 kChunk = qint64(64) * 1024;
    QByteArray bytes = in.read(sizeSeen);
    while (bytes.size() < kMaxHiveBytes) {
        const QByteArray more = in.read(std::min(kChunk, kMaxHiveBytes - bytes.size()));
        if (more.isEmpty())
            break;
        bytes += more;
    }
    return bytes;
}

std::optional<HiveFile> readHiveFile(const QString& file)
{
    const QByteArray name = QFile::encodeName(file);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0)
        return errno == ENOENT ? std::optional(HiveFile{}) : std::nullopt;
    if (!isReadableHive(info))
        return std::nullopt;
    // Non-blocking, in case the file was swapped for a FIFO since the look.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QFile in;
    std::optional<HiveFile> result;
    if (::fstat(fd, &info) == 0 && isReadableHive(info) &&
        in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        result = HiveFile{readBounded(in, info.st_size), identityOf(info)};
    } else {
        ::close(fd);
    }
    return result;
}

// A name for the damaged file beside it that no earlier damaged file has taken.
QString asideName(const QString& file)
{
    const QString stamped =
        file + QStringLiteral(".bad-") + Clock::now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stamped;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stamped + u'-' + QString::number(n);
    return name;
}

// Keeps the damaged file for inspection and goes on with every line that could be read.
RegistryHive setAside(const QString& file, const QByteArray& bytes, const QString& reason)
{
    RegistryHive kept = RegistryHive::salvage(bytes);
    const QString bad = asideName(file);
    const bool moved = QFile::rename(file, bad);
    if (moved && !kept.isEmpty()) {
        // The readable lines stay in memory for this run even when they cannot be written back.
        if (const Result rewritten = AtomicFile::write(file, kept.toRegedit4()); rewritten.failed())
            modMain::WriteLogEntry(QStringLiteral("RegistryHive: read"), rewritten.error());
    }
    const QString outcome =
        moved ? QStringLiteral("moved to ") + bad : QStringLiteral("could not be moved to ") + bad;
    modMain::WriteLogEntry(
        QStringLiteral("RegistryHive: read"), QString::number(ErrorNumber::InvalidFileFormat),
        QStringLiteral("Invalid file format: %1 (%2), %3").arg(file, reason, outcome));
    return kept;
}

// The parsed hive of each file, as long as the file stays the same.
struct CachedHive {
    FileIdentity identity;
    QByteArray bytes;
    std::shared_ptr<RegistryHive> hive;
};

std::map<QString, CachedHive>& cache()
{
    static std::map<QString, CachedHive> hives;
    return hives;
}

// The cached hive when the file still is what was parsed. A recently changed file is
// compared byte by byte, which is still far cheaper than parsing it.
std::shared_ptr<RegistryHive> cachedFor(const QString& file, const HiveFile& current)
{
    const auto it = cache().find(file);
    if (it == cache().end() || it->second.identity != current.identity)
        return nullptr;
    if (isRecent(current.identity) && it->second.bytes != current.bytes)
        return nullptr;
    return it->second.hive;
}

void remember(const QString& file, HiveFile current, std::shared_ptr<RegistryHive> hive)
{
    cache()[file] = CachedHive{current.identity, std::move(current.bytes), std::move(hive)};
}

// Without the lock: the parsed hive, or nothing when the file is damaged and must be set
// aside under the lock.
std::optional<std::shared_ptr<RegistryHive>> loadUnlocked(const QString& file)
{
    auto current = readHiveFile(file);
    if (!current)
        return std::make_shared<RegistryHive>();
    if (auto hive = cachedFor(file, *current))
        return hive;
    auto parsed = RegistryHive::parse(current->bytes);
    if (!parsed)
        return std::nullopt;
    auto hive = std::make_shared<RegistryHive>(std::move(*parsed));
    remember(file, std::move(*current), hive);
    return hive;
}

// With the lock held: the hive as the file holds it, the file set aside when it is damaged.
std::shared_ptr<RegistryHive> loadLocked(const QString& file)
{
    auto current = readHiveFile(file);
    if (!current)
        return nullptr;
    if (auto hive = cachedFor(file, *current))
        return hive;
    QString error;
    if (auto parsed = RegistryHive::parse(current->bytes, &error)) {
        auto hive = std::make_shared<RegistryHive>(std::move(*parsed));
        remember(file, std::move(*current), hive);
        return hive;
    }
    cache().erase(file);
    return std::make_shared<RegistryHive>(setAside(file, current->bytes, error));
}

// An empty or garbled lock file names no process that QLockFile could find gone, so it would
// block every writer until it is old enough to count as stale. Once it has stood this long
// without a readable owner, nobody is about to fill it in.
constexpr qint64 kAbandonedLockMs = 3000;

bool takeLock(QLockFile& lock, const QString& lockName)
{
    if (lock.tryLock(0))
        return true;
    qint64 pid = 0;
    QString host;
    QString application;
    const QFileInfo info(lockName);
    if (!lock.getLockInfo(&pid, &host, &application) && info.exists() &&
        info.lastModified().msecsTo(QDateTime::currentDateTime()) > kAbandonedLockMs)
        lock.removeStaleLockFile(); // refuses while a live owner holds it
    return lock.tryLock(kLockWaitMs);
}

QString lockNameFor(const QString& file)
{
    return file + QStringLiteral(".lock");
}
} // namespace

const RegistryHive::Key* RegistryHive::findKey(const QString& path) const
{
    const auto it = m_keys.find(folded(path));
    return it == m_keys.end() ? nullptr : &it->second;
}

RegistryHive::Key* RegistryHive::findKey(const QString& path)
{
    const auto it = m_keys.find(folded(path));
    return it == m_keys.end() ? nullptr : &it->second;
}

RegistryHive::Key* RegistryHive::ensureKey(const QString& path)
{
    if (!isValidPath(path))
        return nullptr;
    for (qsizetype cut = path.indexOf(u'\\'); cut >= 0; cut = path.indexOf(u'\\', cut + 1)) {
        const QString parent = path.left(cut);
        m_keys.try_emplace(folded(parent), Key{parent, {}, {}});
    }
    return &m_keys.try_emplace(folded(path), Key{path, {}, {}}).first->second;
}

bool RegistryHive::keyExists(const QString& path) const
{
    return findKey(path) != nullptr;
}

const RegistryValue* RegistryHive::Key::find(const QString& name) const
{
    const auto place = places.constFind(folded(name));
    return place == places.cend() ? nullptr : &values[*place];
}

void RegistryHive::Key::reindex()
{
    places.clear();
    for (qsizetype i = 0; i < values.size(); ++i)
        places.insert(folded(values[i].name), i);
}

const RegistryValue* RegistryHive::value(const QString& path, const QString& name) const
{
    const Key* key = findKey(path);
    return key ? key->find(name) : nullptr;
}

QStringList RegistryHive::valueNames(const QString& path) const
{
    QStringList names;
    if (const Key* key = findKey(path)) {
        for (const RegistryValue& value : key->values)
            names.append(value.name);
    }
    return names;
}

QStringList RegistryHive::subkeyNames(const QString& path) const
{
    QStringList names;
    const QString prefix = folded(path) + u'\\';
    for (auto it = m_keys.lower_bound(prefix); it != m_keys.end(); ++it) {
        if (!it->first.startsWith(prefix))
            break;
        if (it->first.indexOf(u'\\', prefix.size()) < 0)
            names.append(it->second.path.mid(prefix.size()));
    }
    return names;
}

RegistryHive::Status RegistryHive::createKey(const QString& path)
{
    return ensureKey(path) ? Status::Ok : Status::InvalidPath;
}

RegistryHive::Status RegistryHive::setValue(const QString& path, const QString& name, quint32 type,
                                            const QByteArray& data)
{
    Key* key = ensureKey(path);
    if (!key)
        return Status::InvalidPath;
    const QString foldedName = folded(name);
    if (const auto place = key->places.constFind(foldedName); place != key->places.cend()) {
        RegistryValue& value = key->values[*place];
        value.type = type;
        value.data = data;
        return Status::Ok;
    }
    key->places.insert(foldedName, key->values.size());
    key->values.append(RegistryValue{name, type, data});
    return Status::Ok;
}

RegistryHive::Status RegistryHive::deleteKey(const QString& path)
{
    const auto it = m_keys.find(folded(path));
    if (it == m_keys.end())
        return Status::NotFound;
    if (!subkeyNames(path).isEmpty())
        return Status::HasSubkeys;
    m_keys.erase(it);
    return Status::Ok;
}

RegistryHive::Status RegistryHive::deleteValue(const QString& path, const QString& name)
{
    Key* key = findKey(path);
    if (!key)
        return Status::NotFound;
    const auto place = key->places.constFind(folded(name));
    if (place == key->places.cend())
        return Status::NotFound;
    key->values.removeAt(*place);
    key->reindex();
    return Status::Ok;
}

std::optional<RegistryHive> RegistryHive::parse(const QByteArray& bytes, QString* error)
{
    const QString text = decodeFile(bytes);
    return HiveParser(text, false).run(error);
}

RegistryHive RegistryHive::salvage(const QByteArray& bytes)
{
    const QString text = decodeFile(bytes);
    return HiveParser(text, true).run(nullptr).value_or(RegistryHive());
}

QByteArray RegistryHive::toRegedit4() const
{
    QByteArray out = kHeader4.toUtf8() + "\n\n";
    for (const auto& [foldedPath, key] : m_keys) {
        out += '[' + key.path.toUtf8() + "]\n";
        for (const RegistryValue& value : key.values)
            out += valueLine(value) + '\n';
        out += '\n';
    }
    return out;
}

std::shared_ptr<const RegistryHive> RegistryHive::snapshot(const QString& file)
{
    if (auto hive = loadUnlocked(file))
        return *hive;
    // Set the file aside under the lock only, so that a file a writer has just replaced is
    // never the one moved.
    QLockFile lock(lockNameFor(file));
    if (!takeLock(lock, lockNameFor(file)))
        return std::make_shared<RegistryHive>();
    auto hive = loadLocked(file);
    return hive ? hive : std::make_shared<RegistryHive>();
}

RegistryHive RegistryHive::read(const QString& file)
{
    return *snapshot(file);
}

RegistryHive::Status RegistryHive::update(const QString& file,
                                          const std::function<Status(RegistryHive&)>& change)
{
    QLockFile lock(lockNameFor(file));
    if (!takeLock(lock, lockNameFor(file)))
        return Status::IoError;
    const auto current = loadLocked(file);
    if (!current)
        return Status::IoError;
    // The change works on a copy, so a failed write leaves the cache as the file is.
    auto hive = std::make_shared<RegistryHive>(*current);
    const Status status = change(*hive);
    if (status != Status::Ok)
        return status;
    HiveFile written{hive->toRegedit4(), {}};
    if (AtomicFile::write(file, written.bytes).failed())
        return Status::IoError;
    struct stat info {};
    if (::stat(QFile::encodeName(file).constData(), &info) == 0) {
        written.identity = identityOf(info);
        remember(file, std::move(written), hive);
    }
    return Status::Ok;
}
