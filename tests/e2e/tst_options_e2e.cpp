#include "XServer.h"
#include "shell/version.h"

#include <QtTest>

// The real programs answer --help and --version without a display, and refuse an unknown option.
class TestOptionsEndToEnd : public QObject {
    Q_OBJECT

    struct Result {
        int code = -1;
        QString out;
        QString err;
    };

    static Result run(const QString& name, const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // No display at all: an option that started the toolkit would fail here.
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        process.setProcessEnvironment(environment);
        process.start(XServer::program(name), arguments);
        if (!process.waitForFinished(20000))
            return {};
        return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

private slots:
    void options_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("jottex") << QStringLiteral("jottex");
        QTest::newRow("jottex-cli") << QStringLiteral("jottex-cli");
    }

    void options()
    {
        QFETCH(QString, program);
        const Result version = run(program, {QStringLiteral("--version")});
        QCOMPARE(version.code, 0);
        QCOMPARE(version.out,
                 program + QLatin1Char(' ') + QLatin1String(Version::Text) + QLatin1Char('\n'));

        const Result help = run(program, {QStringLiteral("--help")});
        QCOMPARE(help.code, 0);
        QVERIFY2(help.out.startsWith(QLatin1String("Usage:")), qPrintable(help.out));
        QVERIFY(help.out.contains(program + QLatin1String(" --help")));

        const Result unknown = run(program, {QStringLiteral("--frobnicate")});
        QCOMPARE(unknown.code, 2);
        QVERIFY(unknown.out.isEmpty());
        QVERIFY2(unknown.err.contains(QLatin1String("Usage:")), qPrintable(unknown.err));
    }
};

QTEST_GUILESS_MAIN(TestOptionsEndToEnd)
#include "tst_options_e2e.moc"
