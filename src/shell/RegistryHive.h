#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>

// The value type codes, under the names the registry API gives them.
struct RegistryTypes {
    static constexpr qint32 REG_NONE = 0;
    static constexpr qint32 REG_SZ = 1;
    static constexpr qint32 REG_EXPAND_SZ = 2;
    static constexpr qint32 REG_BINARY = 3;
    static constexpr qint32 REG_DWORD = 4;
    static constexpr qint32 REG_DWORD_BIG_ENDIAN = 5;
    static constexpr qint32 REG_LINK = 6;
    static constexpr qint32 REG_MULTI_SZ = 7;
};

// One named value of a key: its type code and its raw bytes, as the 8-bit registry API keeps
// them (texts are UTF-8 bytes followed by their terminating NUL).
struct RegistryValue {
    QString name;
    quint32 type = 0;
    QByteArray data;
};

// The per-user store of keys and typed values that stands in for the registry. Key paths start
// with the root's name ("HKEY_CURRENT_USER\SOFTWARE\Ulmar"); key and value names compare without
// regard to case and keep the case they were created with. On disk it is a .reg text file.
class RegistryHive {
public:
    enum class Status { Ok, NotFound, HasSubkeys, InvalidPath, IoError };

    bool keyExists(const QString& path) const;
    const RegistryValue* value(const QString& path, const QString& name) const;
    QStringList valueNames(const QString& path) const;
    QStringList subkeyNames(const QString& path) const;
    bool isEmpty() const { return m_keys.empty(); }

    // Creates the key and every missing parent.
    Status createKey(const QString& path);
    // Creates the key when needed, then adds or replaces the value.
    Status setValue(const QString& path, const QString& name, quint32 type, const QByteArray& data);
    // Fails with HasSubkeys rather than removing a whole branch.
    Status deleteKey(const QString& path);
    Status deleteValue(const QString& path, const QString& name);

    // Reads REGEDIT4 and "Windows Registry Editor Version 5.00" text; nullopt and a reason
    // when the text is not a hive.
    static std::optional<RegistryHive> parse(const QByteArray& bytes, QString* error = nullptr);
    QByteArray toRegedit4() const;

    // Every line of the text that parses, whatever else is damaged.
    static RegistryHive salvage(const QByteArray& bytes);

    // The hive as the file holds it now. Only a plain file of up to 16 MB is read; anything
    // else gives an empty hive. A damaged file is moved aside to "<file>.bad-<date>-<time>" and
    // replaced by the lines of it that could be read. The parsed hive is kept and shared until
    // the file changes. Needs no lock: writers always replace the file whole.
    static std::shared_ptr<const RegistryHive> snapshot(const QString& file);
    // A copy of the snapshot.
    static RegistryHive read(const QString& file);
    // Locks the file, re-checks it, applies change and writes it back atomically when change
    // reports Ok. Writers in other processes are serialised by the same lock.
    [[nodiscard]] static Status update(const QString& file,
                                       const std::function<Status(RegistryHive&)>& change);

private:
    struct Key {
        QString path;
        QList<RegistryValue> values;
        // Folded value name -> place in values: a key may hold a great many values.
        QHash<QString, qsizetype> places;

        const RegistryValue* find(const QString& name) const;
        void reindex();
    };

    static QString folded(const QString& path) { return path.toCaseFolded(); }
    const Key* findKey(const QString& path) const;
    Key* findKey(const QString& path);
    Key* ensureKey(const QString& path);

    // Folded path -> key: parents sort before their children, siblings by name.
    std::map<QString, Key> m_keys;
};
