#pragma once

#include "shell/AppError.h"
#include "shell/RegistryHive.h"

#include <QStringList>
#include <QVariant>
#include <optional>
#include <utility>

// Reads and writes one value of the per-user hive, addressed by root key (ClassKey), key path
// (SectionKey) and value name (ValueKey). Create one per access and drop it afterwards.
// Failures go back to the caller as AppError; a read never fails, it yields Default. The
// value type codes (REG_SZ, ...) come with the hive.
class cRegistry : public RegistryTypes {
public:
    // Predefined root keys.
    static constexpr qint32 HKEY_CLASSES_ROOT = qint32(0x80000000);
    static constexpr qint32 HKEY_CURRENT_USER = qint32(0x80000001);
    static constexpr qint32 HKEY_LOCAL_MACHINE = qint32(0x80000002);
    static constexpr qint32 HKEY_USERS = qint32(0x80000003);
    static constexpr qint32 HKEY_PERFORMANCE_DATA = qint32(0x80000004);
    static constexpr qint32 HKEY_CURRENT_CONFIG = qint32(0x80000005);
    static constexpr qint32 HKEY_DYN_DATA = qint32(0x80000006);

    qint32 ClassKey() const { return m_classKey; }
    void setClassKey(qint32 classKey) { m_classKey = classKey; }
    QString SectionKey() const { return m_sectionKey; }
    void setSectionKey(const QString& sectionKey) { m_sectionKey = sectionKey; }
    QString ValueKey() const { return m_valueKey; }
    void setValueKey(const QString& valueKey) { m_valueKey = valueKey; }
    qint32 ValueType() const { return m_valueType; }
    void setValueType(qint32 valueType) { m_valueType = valueType; }
    QVariant Default() const { return m_default; }
    void setDefault(const QVariant& defaultValue) { m_default = defaultValue; }
    QString Machine() const { return m_machine; }
    void setMachine(const QString& sMachine);

    bool KeyExists() const;
    Expected<bool> CreateKey();
    Expected<bool> DeleteKey();
    Expected<bool> DeleteValue();

    // Texts come back as QString, double words as qint32, every other type as QByteArray of
    // the stored bytes plus one zero byte. Sets ValueType to the type found.
    QVariant Value();
    Result setValue(const QVariant& vValue);
    // Writes several named values of the key as setValue writes each, all under one lock and in
    // one replacement of the file: all of them or, on a failure, none.
    Result setValues(const QList<std::pair<QString, QVariant>>& values);

    QVariant ValueEx(qint32 classKey, const QString& sectionKey, const QString& valueKey,
                     qint32 valueType, const QVariant& defaultValue);
    Result setValueEx(qint32 classKey, const QString& sectionKey, const QString& valueKey,
                      qint32 valueType, const QVariant& defaultValue, const QVariant& NewValue);

    Expected<bool> EnumerateValues(QStringList& sKeyNames, int& iKeyCount) const;
    Expected<bool> EnumerateSections(QStringList& sSect, int& iSectCount) const;

    Result CreateEXEAssociation(const QString& sExePath, const QString& sClassName,
                                const QString& sClassDescription, const QString& sAssociation,
                                const QString& sOpenMenuText, bool bSupportPrint,
                                const QString& sPrintMenuText, bool bSupportNew,
                                const QString& sNewMenuText, bool bSupportInstall,
                                const QString& sInstallMenuText, int lDefaultIconIndex);
    // vItems holds triples: verb name, menu text, command line.
    Result CreateAdditionalEXEAssociations(const QString& sClassName, const QStringList& vItems);

private:
    using NameList = QStringList (RegistryHive::*)(const QString&) const;

    std::optional<QString> keyPath() const;
    Expected<bool> enumerate(NameList list, QStringList& names, int& count) const;
    QString valueName() const;
    AppError error(int number, const QString& description) const;
    QString setFailedText(const QString& name, const QVariant& value) const;
    Result writeClassValue(const QString& section, const QString& text);
    Result setValueAs(const QString& name, const QVariant& value);

    qint32 m_classKey = 0;
    QString m_sectionKey;
    QString m_valueKey;
    qint32 m_valueType = REG_NONE;
    QVariant m_default;
    QString m_machine;
};
