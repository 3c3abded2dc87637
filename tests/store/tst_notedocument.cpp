#include "HostileNotes.h"
#include "TestEnvironment.h"
#include "store/NoteDocument.h"

#include <QtTest>

class TestNoteDocument : public QObject {
    Q_OBJECT

private:
    static constexpr int kRefused = -1;

    static NoteRecord exampleNote()
    {
        NoteRecord note;
        note.Color = QStringLiteral("yellow");
        note.Data = QStringLiteral("{\\rtf1\\ansi Shopping\\par\r\nmilk & eggs\\par\r\n}");
        note.TimeDate = QStringLiteral("12/6/2026 9:21:58 AM");
        note.Height = 2865;
        note.Width = 3345;
        note.Left = 6120;
        note.Top = 4215;
        return note;
    }

    // The records of the tree reader; the reader without a tree must give the same, or fail
    // with the same number.
    static NoteRecordList read(const QByteArray& bytes,
                               const QString& path = QStringLiteral("/n.not"))
    {
        const auto document = NoteDocument::parse(bytes);
        const auto records = document.ok() ? NoteDocument::records(document.value(), path)
                                           : Expected<NoteRecordList>(document.error());
        const auto streamed = NoteDocument::readRecords(bytes, path);
        const bool agree =
            records.ok() ? streamed.ok() && streamed.value() == records.value()
                         : streamed.failed() && streamed.error().number == records.error().number;
        if (!agree)
            QTest::qFail("the reader without a tree differs from the tree reader", __FILE__,
                         __LINE__);
        return records.ok() ? records.value() : NoteRecordList{};
    }

    static QByteArray noteWith(const QByteArray& inner)
    {
        return "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<NOTES "
               "version=\"4.4.0.9\">\r\n<NOTE>" +
               inner + "</NOTE>\r\n</NOTES>\r\n";
    }

private slots:
    void wholeDocumentIsByteExact()
    {
        const QByteArray expected = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"
                                    "<NOTES version=\"4.4.0.9\">\r\n"
                                    "<NOTE>\r\n"
                                    "<COLOR>yellow</COLOR>\r\n"
                                    "<DATA>{\\rtf1\\ansi Shopping\\par\r\n"
                                    "milk &amp; eggs\\par\r\n"
                                    "}</DATA>\r\n"
                                    "<TIMEDATE>12/6/2026 9:21:58 AM</TIMEDATE>\r\n"
                                    "<HEIGHT>2865</HEIGHT>\r\n"
                                    "<WIDTH>3345</WIDTH>\r\n"
                                    "<LEFT>6120</LEFT>\r\n"
                                    "<TOP>4215</TOP>\r\n"
                                    "</NOTE>\r\n"
                                    "</NOTES>\r\n";
        QCOMPARE(NoteDocument::wholeDocument(exampleNote()), expected);
    }

    void negativeNumbersAndDataEndingInLineBreak()
    {
        NoteRecord note = exampleNote();
        note.Left = -1200;
        note.Data = QStringLiteral("x\r\n");
        const QByteArray text = NoteDocument::wholeDocument(note);
        QVERIFY(text.contains("<LEFT>-1200</LEFT>\r\n"));
        QVERIFY(text.contains("<DATA>x\r\n</DATA>\r\n"));
    }

    void escapingRoundTrips()
    {
        QCOMPARE(NoteDocument::EscapeXml(QStringLiteral("a&b\"c'd<e>f&amp;")),
                 QStringLiteral("a&amp;b&quot;c&apos;d&lt;e&gt;f&amp;amp;"));
        NoteRecord note = exampleNote();
        note.Data = QStringLiteral("& \" ' < > &amp;");
        note.TimeDate = QStringLiteral("File: a&b.not");
        const QByteArray text = NoteDocument::wholeDocument(note);
        QVERIFY(text.contains("<TIMEDATE>File: a&amp;b.not</TIMEDATE>"));
        const NoteRecordList notes = read(text);
        QCOMPARE(notes.size(), 1);
        QCOMPARE(notes[0].Data, note.Data);
        QCOMPARE(notes[0].TimeDate, note.TimeDate);
    }

    void readsBackWhatWasWritten()
    {
        const NoteRecord note = exampleNote();
        const NoteRecordList notes =
            read(NoteDocument::wholeDocument(note), QStringLiteral("/x/a.not"));
        QCOMPARE(notes.size(), 1);
        NoteRecord expected = note;
        expected.FileName = QStringLiteral("/x/a.not");
        expected.Data.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); // XML normalises
        QCOMPARE(notes[0], expected);
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "3345" << true << 3345;
        QTest::newRow("blanks around") << " 3345 " << true << 3345;
        QTest::newRow("negative") << "-1200" << true << -1200;
        QTest::newRow("half down to even") << "2.5" << true << 2;
        QTest::newRow("half up to even") << "3.5" << true << 4;
        QTest::newRow("negative half") << "-2.5" << true << -2;
        QTest::newRow("fraction") << "2.6" << true << 3;
        QTest::newRow("largest") << "2147483647" << true << 2147483647;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("too large") << "2147483648" << false << 0;
        QTest::newRow("infinite") << "inf" << false << 0;
    }

    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        const auto number = NoteDocument::toTwipsNumber(text);
        QCOMPARE(number.ok(), ok);
        if (ok)
            QCOMPARE(number.value(), value);
    }

    void missingElementsAreSkipped()
    {
        const NoteRecordList notes = read(noteWith("<COLOR>blue</COLOR><WIDTH>100</WIDTH>"));
        QCOMPARE(notes.size(), 1);
        QCOMPARE(notes[0].Color, QStringLiteral("blue"));
        QCOMPARE(notes[0].TimeDate, QString());
        QCOMPARE(notes[0].Height, 0);
        QCOMPARE(notes[0].Width, 100);
    }

    void unconvertibleNumberFailsWholeRead_data()
    {
        QTest::addColumn<QByteArray>("height");
        QTest::newRow("letters") << QByteArray("<HEIGHT>abc</HEIGHT>");
        QTest::newRow("empty") << QByteArray("<HEIGHT></HEIGHT>");
        QTest::newRow("overflow") << QByteArray("<HEIGHT>99999999999</HEIGHT>");
    }

    void unconvertibleNumberFailsWholeRead()
    {
        QFETCH(QByteArray, height);
        const QByteArray text =
            "<NOTES><NOTE><COLOR>red</COLOR></NOTE><NOTE>" + height + "</NOTE></NOTES>";
        const auto document = NoteDocument::parse(text);
        QVERIFY(document.ok());
        QVERIFY(!NoteDocument::records(document.value(), QStringLiteral("/n.not")).ok());
    }

    void namesAreCaseSensitiveButRootAndChildrenAreNotChecked()
    {
        const NoteRecordList notes =
            read("<LIST><A><color>red</color><COLOR>blue</COLOR></A><B/><!-- c --></LIST>");
        QCOMPARE(notes.size(), 3);
        QCOMPARE(notes[0].Color, QStringLiteral("blue"));
        QCOMPARE(notes[1].Color, QString());
        QCOMPARE(notes[2].FileName, QStringLiteral("/n.not"));
    }

    void reminderIsReadAndOtherElementsIgnored()
    {
        const NoteRecordList notes = read(noteWith("<REMINDER>9:30 AM</REMINDER><EXTRA>1</EXTRA>"));
        QCOMPARE(notes.size(), 1);
        QCOMPARE(notes[0].Reminder, QStringLiteral("9:30 AM"));
    }

    void emptyRootGivesNoRecord()
    {
        QVERIFY(read("<NOTES version=\"4.4.0.9\">\r\n</NOTES>").isEmpty());
    }

    // Whatever the tree keeps or drops, the reader without one gives the same records.
    void bothReadersAgree_data()
    {
        QTest::addColumn<QByteArray>("inner");
        QTest::addColumn<int>("notes");
        QTest::newRow("nodes between notes")
            << QByteArray("</NOTE><!--c--><?pi x?>text<NOTE>") << 5;
        QTest::newRow("blank and no-break space text")
            << QByteArray("</NOTE> \xC2\xA0 &#32; <NOTE><DATA> \xC2\xA0 </DATA>") << 2;
        QTest::newRow("CDATA and nested elements")
            << QByteArray("<DATA>a<![CDATA[ <b> ]]><i>c<j>d</j></i> </DATA>") << 1;
        QTest::newRow("first of repeated fields")
            << QByteArray("<COLOR>red</COLOR><COLOR>blue</COLOR><TOP>1</TOP><TOP>x</TOP>") << 1;
        QTest::newRow("fields deeper down are not the note's")
            << QByteArray("<X><COLOR>red</COLOR></X><Y/>") << 1;
        QTest::newRow("character references and entities")
            << QByteArray("<DATA>&#x41;&amp;&lt;&#66;</DATA>") << 1;
        QTest::newRow("prefixed names without namespaces")
            << QByteArray("<x:COLOR>red</x:COLOR><COLOR>blue</COLOR>") << 1;
        QTest::newRow("document type inside the root")
            << QByteArray("<!DOCTYPE NOTES SYSTEM \"n.dtd\">") << 0;
        QTest::newRow("line ends") << QByteArray("<DATA>a\r\nb\rc</DATA>") << 1;
        QTest::newRow("bad number") << QByteArray("<LEFT>x</LEFT>") << 0;
        QTest::newRow("overflow after text") << QByteArray("<DATA>a</DATA><TOP>9e99</TOP>") << 0;
        QTest::newRow("not well-formed after a bad number") << QByteArray("<TOP>x</TOP><a>") << 0;
    }

    void bothReadersAgree()
    {
        QFETCH(QByteArray, inner);
        QFETCH(int, notes);
        QCOMPARE(read(noteWith(inner)).size(), notes);
        QVERIFY(!QTest::currentTestFailed());
    }

    // Each hostile shape is refused by the survey before any reader runs, having read no more
    // of the file than the limit it passed needs; the real shapes read whole. The survey's
    // counters bound what a reader then holds.
    void hostileShapesRefusedRealOnesRead_data()
    {
        using namespace HostileNotes;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("notes"); // kRefused: not read
        QTest::addColumn<bool>("stopsEarly");
        QTest::newRow("100,000 attributes") << manyAttributes(100000) << kRefused << true;
        QTest::newRow("default attribute, no entity") << defaultAttribute(1000) << kRefused << true;
        QTest::newRow("1,000,000 empty elements") << emptyElements(1000000) << kRefused << true;
        QTest::newRow("1,000,000 comments") << comments(1000000) << kRefused << true;
        QTest::newRow("NUL in an instruction's name")
            << instructionNamedWith(QByteArray(1, '\0')) << kRefused << false;
        QTest::newRow("no-break space in an instruction's name")
            << instructionNamedWith("\xC2\xA0") << kRefused << false;
        QTest::newRow("5,000 notes") << notes(5000) << 5000 << false;
        const QByteArray emptyNote = "<NOTE/>";
        QTest::newRow("the most notes") << root(emptyNote.repeated(NoteDocument::kMaxNotes))
                                        << NoteDocument::kMaxNotes << false;
        QTest::newRow("one note more")
            << root(emptyNote.repeated(NoteDocument::kMaxNotes + 1)) << kRefused << false;
        QTest::newRow("the largest note, 10 MB") << notes(1, qint64(10) << 20) << 1 << false;
    }

    void hostileShapesRefusedRealOnesRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, notes);
        QFETCH(bool, stopsEarly);
        const SafeXml::Census census =
            SafeXml::survey(QByteArrayView(bytes), NoteDocument::rules());
        // Counted up to the one that passed a limit, and no further.
        QVERIFY(census.nodes <= SafeXml::kMaxNodes + 1);
        QVERIFY(census.mostAttributes <= SafeXml::kMaxAttributes);
        const auto records = NoteDocument::readRecords(bytes, QStringLiteral("/n.not"));
        if (notes == kRefused) {
            QVERIFY(census.refusal.has_value());
            QVERIFY(records.failed());
            QCOMPARE(records.error().number, ErrorNumber::InvalidFileFormat);
            QCOMPARE(NoteDocument::parse(bytes).error().number, ErrorNumber::InvalidFileFormat);
            if (stopsEarly)
                QVERIFY2(census.reach < bytes.size() / 2,
                         qPrintable(QString::number(census.reach)));
            return;
        }
        QVERIFY(!census.refusal.has_value());
        QVERIFY(records.ok());
        QCOMPARE(records.value().size(), notes);
        QCOMPARE(census.entries, notes);
        // Every field of the last note, as written.
        const NoteRecord& last = records.value().last();
        if (last.Data.isEmpty())
            return; // empty notes

        QVERIFY(
            last.Data.startsWith(QStringLiteral("{\\rtf1\\ansi note %1\\par\n").arg(notes - 1)));
        QVERIFY(last.Data.endsWith(u'}'));
        QCOMPARE(last.Color, QStringLiteral("8454143"));
        QCOMPARE(last.TimeDate, QStringLiteral("12/6/2026 9:21:58 AM"));
        QCOMPARE(QRect(last.Left, last.Top, last.Width, last.Height),
                 QRect(600 + (notes - 1) % 5000, 4215, 3345, 2865));
    }

    // What is read is written back readable: an append to any file that reads gives a file
    // that reads, with one note more.
    void appendKeepsFilesReadable_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("instruction before the root")
            << QByteArray("<?xml version=\"1.0\"?><?xml-stylesheet href=\"a.css\"?><NOTES/>");
        QTest::newRow("instruction in a note") << noteWith("<?a-b.c_d data?><COLOR>red</COLOR>");
        QTest::newRow("comment and CDATA") << noteWith("<!-- c --><DATA><![CDATA[<&>]]></DATA>");
        QTest::newRow("external document type")
            << QByteArray("<!DOCTYPE NOTES SYSTEM \"notes.dtd\"><NOTES><NOTE/></NOTES>");
        QTest::newRow("non-ASCII names") << noteWith("<F\xC3\xA9ld a\xC3\xA9=\"\xC3\xA9\"/>");
        QTest::newRow("attributes at the limit")
            << HostileNotes::manyAttributes(SafeXml::kMaxAttributes);
    }

    void appendKeepsFilesReadable()
    {
        QFETCH(QByteArray, bytes);
        auto document = NoteDocument::parse(bytes);
        QVERIFY2(document.ok(),
                 qPrintable(document.ok() ? QString() : document.error().description));
        const qsizetype before = read(bytes).size();
        NoteDocument::appendNote(document.value(), exampleNote());
        const QByteArray written = NoteDocument::serialize(document.value());
        QVERIFY2(NoteDocument::parse(written).ok(), written.constData());
        QCOMPARE(read(written).size(), before + 1);
    }

    void notWellFormedFailsToParse()
    {
        QVERIFY(!NoteDocument::parse("<NOTES><NOTE></NOTES>").ok());
        QVERIFY(!NoteDocument::parse("").ok());
    }

    void appendedNoteReadsBackAndFirstStaysAsWritten()
    {
        NoteRecord first = exampleNote();
        first.Data = QStringLiteral("first");
        NoteRecord second = exampleNote();
        second.Color = QStringLiteral("16763955");
        second.Data = QStringLiteral("second <&> \"quoted\"");
        second.Left = -30;

        auto document = NoteDocument::parse(NoteDocument::wholeDocument(first));
        QVERIFY(document.ok());
        NoteDocument::appendNote(document.value(), second);
        const QByteArray text = NoteDocument::serialize(document.value());
        QVERIFY(text.startsWith(
            "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<NOTES version=\"4.4.0.9\">"));
        QVERIFY(text.contains("</NOTE>\r\n<NOTE>\r\n<COLOR>16763955</COLOR>\r\n\r\n<DATA>"));
        // The tree writer escapes markup in text but leaves quotes as they are.
        QVERIFY(text.contains("<DATA>second &lt;&amp;&gt; \"quoted\"</DATA>"));

        const NoteRecordList notes = read(text);
        QCOMPARE(notes.size(), 2);
        first.FileName = second.FileName = QStringLiteral("/n.not");
        QCOMPARE(notes[0], first);
        QCOMPARE(notes[1], second);

        // A second append on the written-back file keeps all three.
        auto again = NoteDocument::parse(text);
        NoteDocument::appendNote(again.value(), first);
        QCOMPARE(read(NoteDocument::serialize(again.value())).size(), 3);
    }

    void encodings()
    {
        NoteRecord note = exampleNote();
        note.TimeDate = QStringLiteral("File: café €.not");
        const NoteRecordList utf8 = read(NoteDocument::wholeDocument(note));
        QCOMPARE(utf8.value(0).TimeDate, note.TimeDate);

        // The older writer wrote 8-bit Windows-1252 text, which is not valid UTF-8.
        const QByteArray cp1252 = noteWith("<TIMEDATE>File: caf\xE9 \x80.not</TIMEDATE>");
        const NoteRecordList old = read(cp1252);
        QCOMPARE(old.value(0).TimeDate, note.TimeDate);
    }

    void forbiddenCharactersAreReplacedByBothWriters_data()
    {
        const QString fffd(QChar::ReplacementCharacter);
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("C0 controls") << QStringLiteral("a\x01"
                                                       "b\x1F")
                                     << "a" + fffd + "b" + fffd;
        QTest::newRow("NUL") << QStringLiteral("a") + QChar(0) + "b"
                             << "a" + fffd + "b";
        QTest::newRow("noncharacters") << QString(QChar(0xFFFE)) + QChar(0xFFFF) << fffd + fffd;
        QTest::newRow("lone high surrogate") << QString(QChar(0xD83D)) + "x" << fffd + "x";
        QTest::newRow("lone low surrogate") << QString(QChar(0xDE00)) << fffd;
        const QString allowed =
            QStringLiteral("\t") + QChar(0xD83D) + QChar(0xDE00) + QChar(0xE000) + fffd;
        QTest::newRow("allowed kept") << allowed << allowed;
    }

    void forbiddenCharactersAreReplacedByBothWriters()
    {
        QFETCH(QString, written);
        QFETCH(QString, readBack);
        NoteRecord note = exampleNote();
        note.TimeDate = QStringLiteral("File: ") + written;
        note.Color = written;
        const NoteRecordList whole = read(NoteDocument::wholeDocument(note));
        QCOMPARE(whole.size(), 1);
        QCOMPARE(whole[0].TimeDate, QStringLiteral("File: ") + readBack);
        QCOMPARE(whole[0].Color, readBack);

        auto document = NoteDocument::parse(NoteDocument::wholeDocument(exampleNote()));
        NoteDocument::appendNote(document.value(), note);
        const NoteRecordList appended = read(NoteDocument::serialize(document.value()));
        QCOMPARE(appended.size(), 2);
        QCOMPARE(appended[1].TimeDate, QStringLiteral("File: ") + readBack);
    }

    void encodingsOfForeignFiles_data()
    {
        // Each file holds this TIMEDATE text, in its encoding.
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QString text = QStringLiteral("café €");
        auto file = [](const QByteArray& declaration, const QByteArray& timeDate) {
            return declaration + "<NOTES><NOTE><TIMEDATE>" + timeDate +
                   "</TIMEDATE></NOTE></NOTES>";
        };
        auto utf16 = [&](QStringConverter::Encoding encoding, const QByteArray& bom) {
            QStringEncoder encoder(encoding);
            return bom + QByteArray(encoder(QString::fromUtf8(
                             file("<?xml version=\"1.0\" encoding=\"UTF-16\"?>", text.toUtf8()))));
        };
        QTest::newRow("UTF-8, no declaration") << file("", text.toUtf8()) << text;
        QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + file("", text.toUtf8()) << text;
        QTest::newRow("UTF-16 LE with BOM") << utf16(QStringConverter::Utf16LE, "\xFF\xFE") << text;
        QTest::newRow("UTF-16 BE with BOM") << utf16(QStringConverter::Utf16BE, "\xFE\xFF") << text;
        QTest::newRow("declared UTF-8")
            << file("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", text.toUtf8()) << text;
        QTest::newRow("declared ISO-8859-1")
            << file("<?xml version='1.0' encoding='ISO-8859-1'?>", "caf\xE9 \x80")
            << QStringLiteral("café ") + QChar(0x80);
        QTest::newRow("declared Windows-1252")
            << file("<?xml version=\"1.0\" encoding=\"windows-1252\"?>", "caf\xE9 \x80") << text;
        QTest::newRow("declared Windows-1252, bytes also valid UTF-8")
            << file("<?xml version=\"1.0\" encoding=\"Windows-1252\"?>", "caf\xC3\xA9")
            << QStringLiteral("cafÃ©");
        QTest::newRow("no declaration, not UTF-8") << file("", "caf\xE9 \x80") << text;
    }

    void encodingsOfForeignFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        auto document = NoteDocument::parse(bytes);
        QVERIFY2(document.ok(),
                 qPrintable(document.ok() ? QString() : document.error().description));
        QCOMPARE(read(bytes).value(0).TimeDate, expected);

        // An append writes UTF-8 and a declaration, if any, that says so.
        NoteDocument::appendNote(document.value(), exampleNote());
        const QByteArray written = NoteDocument::serialize(document.value());
        QVERIFY(!written.contains("encoding=\"UTF-16\"") && !written.contains("1252") &&
                !written.contains("8859"));
        const NoteRecordList notes = read(written);
        QCOMPARE(notes.size(), 2);
        QCOMPARE(notes[0].TimeDate, expected);
    }

    void unsupportedDeclaredEncodingFails()
    {
        const auto document = NoteDocument::parse(
            "<?xml version=\"1.0\" encoding=\"x-no-such\"?><NOTES><NOTE/></NOTES>");
        QVERIFY(!document.ok());
        QCOMPARE(document.error().number, ErrorNumber::InvalidFileFormat);
    }

    void documentTypeWithoutEntitiesIsRead()
    {
        QCOMPARE(read("<!DOCTYPE NOTES><NOTES><NOTE><COLOR>red</COLOR></NOTE></NOTES>").size(), 1);
    }

    void noteListIsWholeFirstThenAppended()
    {
        NoteRecord second = exampleNote();
        second.Data = QStringLiteral("second");
        QCOMPARE(NoteDocument::noteList({exampleNote()}),
                 NoteDocument::wholeDocument(exampleNote()));
        auto document = NoteDocument::parse(NoteDocument::wholeDocument(exampleNote()));
        NoteDocument::appendNote(document.value(), second);
        QCOMPARE(NoteDocument::noteList({exampleNote(), second}),
                 NoteDocument::serialize(document.value()));
        QVERIFY(read(NoteDocument::noteList({})).isEmpty());
        QVERIFY(NoteDocument::parse(NoteDocument::noteList({})).ok());
    }
};

JOTTEX_TEST_MAIN(TestNoteDocument)
#include "tst_notedocument.moc"
