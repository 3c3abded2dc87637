#include "common/TestEnvironment.h"
#include "common/TestSeams.h"
#include "shell/Paths.h"
#include "shell/RegistryHive.h"
#include "shell/cRegistry.h"

#include <QFileInfo>
#include <QtTest>

namespace {
const QString kSection = QStringLiteral("SOFTWARE\\Ulmar\\Jottex");
const QString kHivePath = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Ulmar\\Jottex");

cRegistry addressed(const QString& name, qint32 type, const QString& section = kSection)
{
    cRegistry registry;
    registry.setClassKey(cRegistry::HKEY_CURRENT_USER);
    registry.setSectionKey(section);
    registry.setValueKey(name);
    registry.setValueType(type);
    return registry;
}

const RegistryValue* stored(const RegistryHive& hive, const QString& name,
                            const QString& path = kHivePath)
{
    return hive.value(path, name);
}

QString source()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName() +
           QStringLiteral(".cRegistry");
}
} // namespace

class TestCRegistry : public QObject {
    Q_OBJECT

private slots:
    void init() { TestEnvironment::resetFolders(); }

    void valuesComeBackTyped_data()
    {
        QTest::addColumn<qint32>("type");
        QTest::addColumn<QVariant>("written");
        QTest::addColumn<QVariant>("read");
        QTest::addColumn<qint32>("typeRead");

        QTest::newRow("text") << 1 << QVariant(QStringLiteral("yellow"))
                              << QVariant(QStringLiteral("yellow")) << 1;
        QTest::newRow("number as text")
            << 1 << QVariant(2865) << QVariant(QStringLiteral("2865")) << 1;
        QTest::newRow("dword") << 4 << QVariant(-5) << QVariant(qint32(-5)) << 4;
        QTest::newRow("16-bit dword")
            << 4 << QVariant::fromValue<short>(300) << QVariant(qint32(300)) << 4;
        QTest::newRow("big endian kind writes dword")
            << 5 << QVariant(258) << QVariant(qint32(258)) << 4;
        QTest::newRow("binary gets one more byte") << 3 << QVariant(QByteArray("\1\2\3\4", 4))
                                                   << QVariant(QByteArray("\1\2\3\4\0", 5)) << 3;
    }

    void valuesComeBackTyped()
    {
        QFETCH(qint32, type);
        QFETCH(QVariant, written);
        QFETCH(QVariant, read);
        QFETCH(qint32, typeRead);
        cRegistry writer = addressed(QStringLiteral("v"), type);
        QVERIFY(writer.setValue(written).ok());
        cRegistry reader = addressed(QStringLiteral("V"), cRegistry::REG_NONE);
        const QVariant value = reader.Value();
        QCOMPARE(value.typeId(), read.typeId());
        QCOMPARE(value, read);
        QCOMPARE(reader.ValueType(), typeRead);
    }

    void storedKindsReadBack_data()
    {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QVariant>("read");
        QTest::newRow("multi") << 7u << QByteArray("a\0b\0\0", 5)
                               << QVariant(QString::fromUtf8("a\0b\0", 4));
        QTest::newRow("big endian") << 5u << QByteArray("\0\0\1\2", 4) << QVariant(qint32(258));
        QTest::newRow("none") << 0u << QByteArray("\7", 1) << QVariant(QByteArray("\7\0", 2));
    }

    void storedKindsReadBack()
    {
        QFETCH(quint32, type);
        QFETCH(QByteArray, data);
        QFETCH(QVariant, read);
        const auto stored = RegistryHive::update(AppPaths::hiveFile(), [&](RegistryHive& hive) {
            return hive.setValue(kHivePath, QStringLiteral("v"), type, data);
        });
        QCOMPARE(stored, RegistryHive::Status::Ok);
        cRegistry reader = addressed(QStringLiteral("v"), cRegistry::REG_SZ);
        QCOMPARE(reader.Value(), read);
        QCOMPARE(reader.ValueType(), qint32(type));
    }

    void percentSignsDecideTheStoredType_data()
    {
        QTest::addColumn<qint32>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("storedType");
        QTest::addColumn<QString>("read");
        qputenv("JOTTEX_TEST_VAR", "/srv/x");
        qunsetenv("JOTTEX_UNSET_VAR");
        QTest::newRow("name as plain text") << 1 << "%JOTTEX_TEST_VAR%\\a" << 2u << "/srv/x\\a";
        QTest::newRow("single sign as expand") << 2 << "100%" << 1u << "100%";
        QTest::newRow("adjacent signs") << 2 << "a%%b" << 1u << "a%%b";
        QTest::newRow("three signs") << 1 << "%%%" << 2u << "%%%";
        QTest::newRow("unknown name stays")
            << 1 << "%JOTTEX_UNSET_VAR%" << 2u << "%JOTTEX_UNSET_VAR%";
        QTest::newRow("closing sign opens next")
            << 1 << "%JOTTEX_UNSET_VAR%JOTTEX_TEST_VAR%" << 2u << "%JOTTEX_UNSET_VAR/srv/x";
    }

    void percentSignsDecideTheStoredType()
    {
        QFETCH(qint32, type);
        QFETCH(QString, text);
        QFETCH(quint32, storedType);
        QFETCH(QString, read);
        cRegistry registry = addressed(QStringLiteral("p"), type);
        QVERIFY(registry.setValue(text).ok());
        const RegistryHive hive = RegistryHive::read(AppPaths::hiveFile());
        QCOMPARE(stored(hive, QStringLiteral("p"))->type, storedType);
        QCOMPARE(stored(hive, QStringLiteral("p"))->data, text.toUtf8().append('\0'));
        QCOMPARE(registry.Value().toString(), read);
    }

    void missingValueYieldsDefault()
    {
        QVERIFY(addressed(QStringLiteral("other"), 1).setValue(QStringLiteral("x")).ok());
        for (const QString& section : {kSection, QStringLiteral("No\\Such")}) {
            cRegistry registry =
                addressed(QStringLiteral("nothing"), cRegistry::REG_BINARY, section);
            registry.setDefault(QStringLiteral("fallback"));
            QCOMPARE(registry.Value(), QVariant(QStringLiteral("fallback")));
            QCOMPARE(registry.ValueType(), cRegistry::REG_BINARY);
        }
    }

    void writesThatStoreNothing()
    {
        cRegistry zero = addressed(QStringLiteral("z"), cRegistry::REG_NONE);
        const Result failure = zero.setValue(QStringLiteral("abc"));
        QVERIFY(failure.failed());
        QCOMPARE(failure.error().number, int(0x800469A9));
        QCOMPARE(failure.error().source, source());
        QCOMPARE(failure.error().description,
                 QStringLiteral("Failed to set registry value Key: '-2147483647',Section: "
                                "'SOFTWARE\\Ulmar\\Jottex',Key: 'z' to value: 'abc'"));

        cRegistry multi = addressed(QStringLiteral("m"), cRegistry::REG_MULTI_SZ);
        QCOMPARE(multi.setValue(QStringLiteral("a")).error().number, int(0x800469A9));

        cRegistry notArray = addressed(QStringLiteral("b"), cRegistry::REG_BINARY);
        const Result binary = notArray.setValue(QStringLiteral("text"));
        QCOMPARE(binary.error().number, 26001);
        QCOMPARE(binary.error().description,
                 QStringLiteral("Application-defined or object-defined error"));

        cRegistry notNumber = addressed(QStringLiteral("d"), cRegistry::REG_DWORD);
        QVERIFY(notNumber.setValue(QStringLiteral("12")).ok());
        QVERIFY(notNumber.setValue(qint64(12)).ok());

        const RegistryHive hive = RegistryHive::read(AppPaths::hiveFile());
        QVERIFY(hive.keyExists(kHivePath));
        QVERIFY(hive.valueNames(kHivePath).isEmpty());
    }

    void failedFileWriteIsReported()
    {
        cRegistry registry = addressed(QStringLiteral("v"), cRegistry::REG_SZ);
        TestSeams seams;
        seams.failWritesAfter(0);
        const Result failure = registry.setValue(QStringLiteral("x"));
        QVERIFY(failure.failed());
        QCOMPARE(failure.error().number, int(0x800469A9));
    }

    void keyOperationErrors()
    {
        cRegistry noRoot;
        noRoot.setSectionKey(QStringLiteral("Some\\Key"));
        QVERIFY(!noRoot.KeyExists());
        const auto created = noRoot.CreateKey();
        QVERIFY(created.failed());
        QCOMPARE(created.error().number, 26001);
        QCOMPARE(created.error().description,
                 QStringLiteral("Failed to create registry Key: 'Some\\Key"));

        cRegistry parent = addressed({}, 1, QStringLiteral("A"));
        cRegistry child = addressed(QStringLiteral("v"), 1, QStringLiteral("A\\B"));
        QVERIFY(child.CreateKey().value());
        QVERIFY(parent.KeyExists());
        const auto notEmpty = parent.DeleteKey();
        QVERIFY(notEmpty.failed());
        QCOMPARE(notEmpty.error().description,
                 QStringLiteral("Failed to delete registry Key: '-2147483647',Section: 'A"));

        QVERIFY(child.DeleteValue().failed());
        QCOMPARE(
            child.DeleteValue().error().description,
            QStringLiteral("Failed to delete registry Key: '-2147483647',Section: 'A\\B',Key: 'v"));
        QVERIFY(child.setValue(QStringLiteral("1")).ok());
        QVERIFY(child.DeleteValue().value());
        QVERIFY(child.DeleteKey().value());
        QVERIFY(!child.KeyExists());
        QCOMPARE(child.DeleteKey().error().number, 26001);

        const auto closed = child.DeleteValue();
        QCOMPARE(closed.error().number, 26001);
        QCOMPARE(
            closed.error().description,
            QStringLiteral("Failed to open key '-2147483647',Section: 'A\\B' for delete access"));
        QVERIFY(addressed({}, 1, {}).KeyExists());
        QVERIFY(addressed({}, 1, {}).DeleteKey().failed());
    }

    void machineIsNormalised_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("stored");
        QTest::newRow("three letters") << "abc"
                                       << "\\\\abc";
        QTest::newRow("already prefixed") << "\\\\abc"
                                          << "\\\\abc";
        QTest::newRow("one backslash") << "\\ab"
                                       << "\\\\\\ab";
        QTest::newRow("two letters") << "ab"
                                     << "";
        QTest::newRow("two backslashes") << "\\\\"
                                         << "";
    }

    void machineIsNormalised()
    {
        QFETCH(QString, given);
        QFETCH(QString, stored);
        cRegistry registry = addressed(QStringLiteral("v"), cRegistry::REG_SZ);
        QVERIFY(registry.setValue(QStringLiteral("local")).ok());
        registry.setMachine(QStringLiteral("previous"));
        registry.setMachine(given);
        QCOMPARE(registry.Machine(), stored);
        // There is no remote registry: a named machine reads Default and refuses writes.
        registry.setDefault(QStringLiteral("dflt"));
        QCOMPARE(registry.Value().toString(),
                 stored.isEmpty() ? QStringLiteral("local") : QStringLiteral("dflt"));
        QCOMPARE(registry.setValue(QStringLiteral("x")).failed(), !stored.isEmpty());
    }

    void enumerations()
    {
        QStringList names{QStringLiteral("stale")};
        int count = 7;
        QVERIFY(
            addressed({}, 1, QStringLiteral("No\\Such")).EnumerateSections(names, count).value());
        QCOMPARE(names, QStringList());
        QCOMPARE(count, 0);
        for (const char* name : {"Zulu", "alpha", "Mike"}) {
            QVERIFY(addressed(QString::fromLatin1(name), 1).setValue(QStringLiteral("x")).ok());
            QVERIFY(
                addressed({}, 1, kSection + u'\\' + QLatin1String(name) + QStringLiteral("\\deep"))
                    .CreateKey()
                    .value());
        }
        const cRegistry key = addressed({}, 1);
        QVERIFY(key.EnumerateValues(names, count).value());
        QCOMPARE(names, QStringList({"Zulu", "alpha", "Mike"})); // in the order written
        QVERIFY(key.EnumerateSections(names, count).value());
        QCOMPARE(names, QStringList({"alpha", "Mike", "Zulu"})); // sorted, children only
        QCOMPARE(count, 3);
    }

    void associationLayout()
    {
        cRegistry registry;
        QVERIFY(registry
                    .CreateEXEAssociation(QStringLiteral("  /opt/jottex  "),
                                          QStringLiteral("Jottex.Note"), QStringLiteral("Note"),
                                          QStringLiteral("not"), {}, true, {}, true,
                                          QStringLiteral("Ne&w note"), true, {}, 2)
                    .ok());
        QCOMPARE(registry.ClassKey(), cRegistry::HKEY_LOCAL_MACHINE);
        const QList<std::pair<QString, QString>> expected{
            {".not", "Jottex.Note"},
            {"Jottex.Note", "Note"},
            {"Jottex.Note\\shell\\open", "&Open"},
            {"Jottex.Note\\shell\\open\\command", "\"/opt/jottex\" \"%1\""},
            {"Jottex.Note\\shell\\print", "&Print"},
            {"Jottex.Note\\shell\\print\\command", "\"/opt/jottex\" /p \"%1\""},
            {"Jottex.Note\\shell\\add", "&Install not"},
            {"Jottex.Note\\shell\\add\\command", "\"/opt/jottex\" /a \"%1\""},
            {"Jottex.Note\\shell\\new", "Ne&w note"},
            {"Jottex.Note\\shell\\new\\command", "\"/opt/jottex\" /n \"%1\""},
            {"Jottex.Note\\DefaultIcon", "\"/opt/jottex\",2"},
        };
        const RegistryHive hive = RegistryHive::read(AppPaths::hiveFile());
        for (const auto& [key, text] : expected) {
            for (const QString& root :
                 {QStringLiteral("HKEY_CLASSES_ROOT\\"),
                  QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\")}) {
                const RegistryValue* value = stored(hive, {}, root + key);
                QVERIFY2(value, qPrintable(root + key));
                QCOMPARE(value->type, 1u);
                QCOMPARE(value->data, text.toUtf8().append('\0'));
            }
        }
    }

    void additionalAssociations()
    {
        cRegistry registry;
        const QStringList items{"edit", "&Edit", "/bin/ed %1", "view", "&View", "/bin/v %1 %2"};
        const Result partial =
            registry.CreateAdditionalEXEAssociations(QStringLiteral("Cls"), items.mid(0, 4));
        QCOMPARE(partial.error().number, int(0x800469AC));
        QCOMPARE(partial.error().description,
                 QStringLiteral("Invalid parameter list passed to "
                                "CreateAdditionalEXEAssociations - expected "
                                "Name/Text/Command"));
        registry.setClassKey(cRegistry::HKEY_CLASSES_ROOT);
        const Result undefined =
            registry.CreateAdditionalEXEAssociations(QStringLiteral("Cls"), items);
        QCOMPARE(undefined.error().number, int(0x800469AD));
        QCOMPARE(undefined.error().description,
                 QStringLiteral(
                     "Error - attempt to create additional associations before class defined."));
        QVERIFY(RegistryHive::read(AppPaths::hiveFile()).isEmpty());

        registry.setSectionKey(QStringLiteral("Cls"));
        QVERIFY(registry.CreateKey().value());
        QVERIFY(registry.CreateAdditionalEXEAssociations(QStringLiteral("Cls"), {}).ok());
        QVERIFY(registry.CreateAdditionalEXEAssociations(QStringLiteral("Cls"), items).ok());
        const RegistryHive hive = RegistryHive::read(AppPaths::hiveFile());
        QCOMPARE(stored(hive, {}, QStringLiteral("HKEY_CLASSES_ROOT\\Cls\\shell\\view"))->data,
                 QByteArray("&View\0", 6));
        const RegistryValue* command = stored(
            hive, {},
            QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Cls\\shell\\view\\command"));
        QCOMPARE(command->type, 2u); // two signs with a name between them
        QCOMPARE(
            stored(hive, {}, QStringLiteral("HKEY_CLASSES_ROOT\\Cls\\shell\\edit\\command"))->type,
            1u);
    }
};

JOTTEX_TEST_MAIN(TestCRegistry)
#include "tst_cregistry.moc"
