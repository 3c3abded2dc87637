#include "shell/cRegistry.h"

#include "shell/Paths.h"
#include "shell/RegistryHive.h"
#include "shell/modFileFunctions.h"

#include <QFileInfo>
#include <QtEndian>
#include <array>

namespace {
struct RootName {
    qint32 handle;
    const char* name;
};

constexpr std::array kRoots{
    RootName{cRegistry::HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    RootName{cRegistry::HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    RootName{cRegistry::HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    RootName{cRegistry::HKEY_USERS, "HKEY_USERS"},
    RootName{cRegistry::HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"},
    RootName{cRegistry::HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
    RootName{cRegistry::HKEY_DYN_DATA, "HKEY_DYN_DATA"},
};

using Status = RegistryHive::Status;

// A name between two percent signs makes a text expandable; "%%" or a lone sign do not.
bool isExpandable(const QString& text)
{
    const qsizetype first = text.indexOf(u'%');
    return first >= 0 && text.indexOf(u'%', first + 2) >= 0;
}

// As ExpandEnvironmentStrings: an unknown name stays as written, and its closing sign may
// open the next reference.
QString expandEnvironmentStrings(const QString& text)
{
    QString out;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(u'%', pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'%', open + 1);
        if (close < 0) {
            out += QStringView(text).mid(pos);
            break;
        }
        out += QStringView(text).mid(pos, open - pos);
        const QString name = text.mid(open + 1, close - open - 1);
        if (!name.isEmpty() && qEnvironmentVariableIsSet(name.toLocal8Bit().constData())) {
            out += qEnvironmentVariable(name.toLocal8Bit().constData());
            pos = close + 1;
        } else {
            out += QStringView(text).mid(open, close - open);
            pos = close;
        }
    }
    return out;
}

QString textOf(const QByteArray& data)
{
    return QString::fromUtf8(data.left(qMax<qsizetype>(0, data.size() - 1)));
}

qint32 dwordOf(QByteArray data, bool bigEndian)
{
    data.resize(4, '\0');
    return bigEndian ? qFromBigEndian<qint32>(data.constData())
                     : qFromLittleEndian<qint32>(data.constData());
}

QVariant decoded(const RegistryValue& value)
{
    switch (qint32(value.type)) {
    case cRegistry::REG_SZ:
    case cRegistry::REG_MULTI_SZ:
        return textOf(value.data);
    case cRegistry::REG_EXPAND_SZ:
        return expandEnvironmentStrings(textOf(value.data));
    case cRegistry::REG_DWORD:
        return dwordOf(value.data, false);
    case cRegistry::REG_DWORD_BIG_ENDIAN:
        return dwordOf(value.data, true);
    default:
        return QByteArray(value.data).append('\0');
    }
}

std::optional<QString> textOfVariant(const QVariant& value)
{
    if (!value.isValid())
        return QString();
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (!value.canConvert<QString>())
        return std::nullopt;
    return value.toString();
}

// What a write does with the value it is given, by ValueType.
struct Encoded {
    enum Outcome { Write, Skip, NotAnArray, TypeMismatch, InvalidType } outcome = Write;
    quint32 type = 0;
    QByteArray data;
};

Encoded encodedText(const QVariant& value)
{
    const auto text = textOfVariant(value);
    if (!text)
        return Encoded{Encoded::TypeMismatch, 0, {}};
    const qint32 type = isExpandable(*text) ? cRegistry::REG_EXPAND_SZ : cRegistry::REG_SZ;
    return Encoded{Encoded::Write, quint32(type), text->toUtf8().append('\0')};
}

Encoded encodedDword(const QVariant& value)
{
    const int typeId = value.typeId();
    if (typeId != QMetaType::Int && typeId != QMetaType::Short)
        return Encoded{Encoded::Skip, 0, {}};
    QByteArray data(4, '\0');
    qToLittleEndian<qint32>(value.toInt(), data.data());
    return Encoded{Encoded::Write, quint32(cRegistry::REG_DWORD), data};
}

Encoded encoded(qint32 valueType, const QVariant& value)
{
    switch (valueType) {
    case cRegistry::REG_SZ:
    case cRegistry::REG_EXPAND_SZ:
        return encodedText(value);
    case cRegistry::REG_BINARY:
        if (value.typeId() != QMetaType::QByteArray)
            return Encoded{Encoded::NotAnArray, 0, {}};
        return Encoded{Encoded::Write, quint32(cRegistry::REG_BINARY), value.toByteArray()};
    case cRegistry::REG_DWORD:
    case cRegistry::REG_DWORD_BIG_ENDIAN:
        return encodedDword(value);
    default:
        return Encoded{Encoded::InvalidType, 0, {}};
    }
}

Status store(RegistryHive& hive, const QString& path, const QString& name, const Encoded& value)
{
    if (value.outcome != Encoded::Write)
        return hive.createKey(path);
    return hive.setValue(path, name, value.type, value.data);
}

QString sourceName()
{
    return QFileInfo(AppPaths::executablePath()).fileName() + QStringLiteral(".cRegistry");
}

QString orDefault(const QString& text, const QString& fallback)
{
    return text.isEmpty() ? fallback : text;
}
} // namespace

void cRegistry::setMachine(const QString& sMachine)
{
    if (sMachine.size() <= 2)
        m_machine.clear();
    else if (sMachine.startsWith(QStringLiteral("\\\\")))
        m_machine = sMachine;
    else
        m_machine = QStringLiteral("\\\\") + sMachine;
}

std::optional<QString> cRegistry::keyPath() const
{
    for (const RootName& root : kRoots) {
        if (root.handle != m_classKey)
            continue;
        QString section = modFileFunctions::TrimNull(m_sectionKey);
        if (section.endsWith(u'\\'))
            section.chop(1);
        const QString rootName = QString::fromLatin1(root.name);
        return section.isEmpty() ? rootName : rootName + u'\\' + section;
    }
    return std::nullopt;
}

QString cRegistry::valueName() const
{
    return modFileFunctions::TrimNull(m_valueKey);
}

AppError cRegistry::error(int number, const QString& description) const
{
    return AppError{number, sourceName(), description};
}

QString cRegistry::setFailedText(const QString& name, const QVariant& value) const
{
    return QStringLiteral("Failed to set registry value Key: '%1',Section: '%2',Key: '%3' to "
                          "value: '%4'")
        .arg(QString::number(m_classKey), m_sectionKey, name,
             textOfVariant(value).value_or(QString()));
}

bool cRegistry::KeyExists() const
{
    const auto path = keyPath();
    if (!path)
        return false;
    if (modFileFunctions::TrimNull(m_sectionKey).isEmpty())
        return true; // a root key always opens
    return RegistryHive::snapshot(AppPaths::hiveFile())->keyExists(*path);
}

Expected<bool> cRegistry::CreateKey()
{
    const auto path = keyPath();
    const Status status =
        path ? RegistryHive::update(AppPaths::hiveFile(),
                                    [&path](RegistryHive& hive) { return hive.createKey(*path); })
             : Status::InvalidPath;
    if (status != Status::Ok)
        return error(ErrorNumber::RegistryKeyAccess,
                     QStringLiteral("Failed to create registry Key: '") + m_sectionKey);
    return true;
}

Expected<bool> cRegistry::DeleteKey()
{
    const auto path = keyPath();
    const bool isRoot = modFileFunctions::TrimNull(m_sectionKey).isEmpty();
    const Status status =
        path && !isRoot
            ? RegistryHive::update(AppPaths::hiveFile(),
                                   [&path](RegistryHive& hive) { return hive.deleteKey(*path); })
            : Status::InvalidPath;
    if (status != Status::Ok) {
        return error(ErrorNumber::RegistryKeyAccess,
                     QStringLiteral("Failed to delete registry Key: '%1',Section: '%2")
                         .arg(QString::number(m_classKey), m_sectionKey));
    }
    return true;
}

Expected<bool> cRegistry::DeleteValue()
{
    const auto path = keyPath();
    const bool isRoot = modFileFunctions::TrimNull(m_sectionKey).isEmpty();
    const QString name = valueName();
    bool opened = false;
    const auto remove = [&](RegistryHive& hive) {
        opened = isRoot || hive.keyExists(*path);
        return opened ? hive.deleteValue(*path, name) : Status::NotFound;
    };
    const Status status =
        path ? RegistryHive::update(AppPaths::hiveFile(), remove) : Status::InvalidPath;
    if (!opened) {
        return error(ErrorNumber::RegistryKeyAccess,
                     QStringLiteral("Failed to open key '%1',Section: '%2' for delete access")
                         .arg(QString::number(m_classKey), m_sectionKey));
    }
    if (status != Status::Ok) {
        return error(ErrorNumber::RegistryKeyAccess,
                     QStringLiteral("Failed to delete registry Key: '%1',Section: '%2',Key: '%3")
                         .arg(QString::number(m_classKey), m_sectionKey, m_valueKey));
    }
    return true;
}

QVariant cRegistry::Value()
{
    // There is no remote registry here: reads from another machine yield Default.
    if (!m_machine.isEmpty())
        return m_default;
    const auto path = keyPath();
    if (!path)
        return m_default;
    const auto hive = RegistryHive::snapshot(AppPaths::hiveFile());
    const RegistryValue* value = hive->value(*path, valueName());
    if (!value)
        return m_default;
    m_valueType = qint32(value->type);
    return decoded(*value);
}

Result cRegistry::setValue(const QVariant& vValue)
{
    const QString description = setFailedText(m_valueKey, vValue);
    const auto path = keyPath();
    if (!m_machine.isEmpty() || !path)
        return error(ErrorNumber::RegistryKeyAccess, description);
    const Encoded value = encoded(m_valueType, vValue);
    const QString name = valueName();
    // The key is created whatever becomes of the value, as opening it for the write does.
    const Status status = RegistryHive::update(
        AppPaths::hiveFile(), [&](RegistryHive& hive) { return store(hive, *path, name, value); });
    if (status == Status::InvalidPath)
        return error(ErrorNumber::RegistryKeyAccess, description);
    if (status != Status::Ok)
        return error(ErrorNumber::RegistryValueWrite, description);
    switch (value.outcome) {
    case Encoded::NotAnArray:
        return AppError::fromNumber(ErrorNumber::RegistryKeyAccess, sourceName());
    case Encoded::TypeMismatch:
        return AppError::fromNumber(ErrorNumber::TypeMismatch, sourceName());
    case Encoded::InvalidType:
        return error(ErrorNumber::RegistryValueWrite, description);
    case Encoded::Write:
    case Encoded::Skip:
        break;
    }
    return {};
}

Result cRegistry::setValues(const QList<std::pair<QString, QVariant>>& values)
{
    if (values.isEmpty())
        return {};
    const auto path = keyPath();
    QList<std::pair<QString, Encoded>> named;
    for (const auto& [name, value] : values) {
        Encoded encodedValue = encoded(m_valueType, value);
        if (encodedValue.outcome != Encoded::Write && encodedValue.outcome != Encoded::Skip)
            return setValueAs(name, value); // reports as a single write of it would
        named.append({modFileFunctions::TrimNull(name), std::move(encodedValue)});
    }
    if (!m_machine.isEmpty() || !path)
        return setValueAs(values.first().first, values.first().second);
    const Status status = RegistryHive::update(AppPaths::hiveFile(), [&](RegistryHive& hive) {
        for (const auto& [name, value] : named) {
            if (const Status stored = store(hive, *path, name, value); stored != Status::Ok)
                return stored;
        }
        return Status::Ok;
    });
    if (status == Status::Ok)
        return {};
    const QString description = setFailedText(values.first().first, values.first().second);
    return error(status == Status::InvalidPath ? ErrorNumber::RegistryKeyAccess
                                               : ErrorNumber::RegistryValueWrite,
                 description);
}

Result cRegistry::setValueAs(const QString& name, const QVariant& value)
{
    const QString kept = m_valueKey;
    m_valueKey = name;
    Result failure = setValue(value);
    m_valueKey = kept;
    return failure;
}

QVariant cRegistry::ValueEx(qint32 classKey, const QString& sectionKey, const QString& valueKey,
                            qint32 valueType, const QVariant& defaultValue)
{
    m_classKey = classKey;
    m_sectionKey = sectionKey;
    m_valueKey = valueKey;
    m_valueType = valueType;
    m_default = defaultValue;
    return Value();
}

Result cRegistry::setValueEx(qint32 classKey, const QString& sectionKey, const QString& valueKey,
                             qint32 valueType, const QVariant& defaultValue,
                             const QVariant& NewValue)
{
    m_classKey = classKey;
    m_sectionKey = sectionKey;
    m_valueKey = valueKey;
    m_valueType = valueType;
    m_default = defaultValue;
    const bool emptyText = NewValue.typeId() == QMetaType::QString && NewValue.toString().isEmpty();
    return setValue(valueType == REG_SZ && emptyText ? m_default : NewValue);
}

// Reading a snapshot of the hive cannot fail half-way, so ErrorNumber::RegistryEnumerateSections
// never arises.
Expected<bool> cRegistry::enumerate(NameList list, QStringList& names, int& count) const
{
    names.clear();
    if (const auto path = keyPath())
        names = (*RegistryHive::snapshot(AppPaths::hiveFile()).*list)(*path);
    count = int(names.size());
    return true;
}

Expected<bool> cRegistry::EnumerateValues(QStringList& sKeyNames, int& iKeyCount) const
{
    return enumerate(&RegistryHive::valueNames, sKeyNames, iKeyCount);
}

Expected<bool> cRegistry::EnumerateSections(QStringList& sSect, int& iSectCount) const
{
    return enumerate(&RegistryHive::subkeyNames, sSect, iSectCount);
}

// Writes the default value of a file-type key under the classes root and again in the
// machine's copy of the classes; ClassKey stays on the machine root afterwards.
Result cRegistry::writeClassValue(const QString& section, const QString& text)
{
    m_sectionKey = section;
    m_valueKey.clear();
    m_valueType = REG_SZ;
    m_classKey = HKEY_CLASSES_ROOT;
    if (Result failure = setValue(text); failure.failed())
        return failure;
    m_classKey = HKEY_LOCAL_MACHINE;
    m_sectionKey = QStringLiteral("SOFTWARE\\Classes\\") + section;
    Result failure = setValue(text);
    m_sectionKey = section;
    return failure;
}

Result cRegistry::CreateEXEAssociation(const QString& sExePath, const QString& sClassName,
                                       const QString& sClassDescription,
                                       const QString& sAssociation, const QString& sOpenMenuText,
                                       bool bSupportPrint, const QString& sPrintMenuText,
                                       bool bSupportNew, const QString& sNewMenuText,
                                       bool bSupportInstall, const QString& sInstallMenuText,
                                       int lDefaultIconIndex)
{
    QString exe = sExePath.trimmed();
    if (!exe.startsWith(u'"'))
        exe.prepend(u'"');
    if (!exe.endsWith(u'"'))
        exe.append(u'"');
    const QString shell = sClassName + QStringLiteral("\\shell\\");
    const QString open = orDefault(sOpenMenuText, QStringLiteral("&Open"));

    QList<std::pair<QString, QString>> entries{
        {u'.' + sAssociation, sClassName},
        {sClassName, sClassDescription},
        {shell + QStringLiteral("open"), open},
        {shell + QStringLiteral("open\\command"), exe + QStringLiteral(" \"%1\"")},
    };
    const auto addVerb = [&](const QString& verb, const QString& text, const QString& switches) {
        entries.append({shell + verb, text});
        entries.append({shell + verb + QStringLiteral("\\command"), exe + switches});
    };
    if (bSupportPrint)
        addVerb(QStringLiteral("print"), orDefault(sPrintMenuText, QStringLiteral("&Print")),
                QStringLiteral(" /p \"%1\""));
    if (bSupportInstall)
        addVerb(QStringLiteral("add"),
                orDefault(sInstallMenuText, QStringLiteral("&Install ") + sAssociation),
                QStringLiteral(" /a \"%1\""));
    if (bSupportNew)
        addVerb(QStringLiteral("new"), orDefault(sNewMenuText, QStringLiteral("&New")),
                QStringLiteral(" /n \"%1\""));
    if (lDefaultIconIndex >= 0)
        entries.append({sClassName + QStringLiteral("\\DefaultIcon"),
                        exe + u',' + QString::number(lDefaultIconIndex)});

    for (const auto& [section, text] : entries) {
        if (Result failure = writeClassValue(section, text); failure.failed())
            return failure;
    }
    return {};
}

Result cRegistry::CreateAdditionalEXEAssociations(const QString& sClassName,
                                                  const QStringList& vItems)
{
    if (vItems.size() % 3 != 0) {
        return error(
            ErrorNumber::RegistryAssociationItems,
            QStringLiteral("Invalid parameter list passed to "
                           "CreateAdditionalEXEAssociations - expected Name/Text/Command"));
    }
    m_sectionKey = sClassName;
    if (!KeyExists()) {
        return error(
            ErrorNumber::RegistryClassNotDefined,
            QStringLiteral(
                "Error - attempt to create additional associations before class defined."));
    }
    const QString shell = sClassName + QStringLiteral("\\shell\\");
    // A verb that cannot be written does not keep the others from being written, and this class
    // logs nothing itself: the skipped write is dropped on purpose.
    for (qsizetype i = 0; i + 2 < vItems.size(); i += 3) {
        (void)writeClassValue(shell + vItems[i], vItems[i + 1]);
        (void)writeClassValue(shell + vItems[i] + QStringLiteral("\\command"), vItems[i + 2]);
    }
    return {};
}
