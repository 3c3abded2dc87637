#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Every test program runs in its own folders: XDG data, config and desktop point into a
// temporary folder, the locale is en_US, and dialogs are answered through the seam.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();

    QString root() const { return m_root.path(); }

    // Empties the data and config folders between test functions.
    static void resetFolders();

    static QByteArray readFile(const QString& path);
    static bool writeFile(const QString& path, const QByteArray& bytes);
    // Lines of jottex.log (each without its CR LF).
    static QStringList logLines();

private:
    QTemporaryDir m_root;
};

// The program's German texts from the build's translation, installed for the life of the object.
class GermanTexts {
public:
    GermanTexts();
    ~GermanTexts();
    GermanTexts(const GermanTexts&) = delete;
    GermanTexts& operator=(const GermanTexts&) = delete;

    // "de", or empty when the build has no German translation.
    QString language() const { return m_language; }

private:
    QString m_language;
};

#define JOTTEX_TEST_MAIN_IMPL(TestClass, AppClass)                                                 \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        TestEnvironment environment;                                                               \
        AppClass app(argc, argv);                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestClass test;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

// For tests without windows, and for tests with widgets.
#define JOTTEX_TEST_MAIN(TestClass) JOTTEX_TEST_MAIN_IMPL(TestClass, QCoreApplication)
#define JOTTEX_GUI_TEST_MAIN(TestClass) JOTTEX_TEST_MAIN_IMPL(TestClass, QApplication)
