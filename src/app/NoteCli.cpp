#include "app/NoteCli.h"

#include "richtext/RichText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "shell/Settings.h"
#include "shell/version.h"
#include "special/HttpGet.h"
#include "special/NetworkNoteText.h"
#include "special/clsRSS.h"
#include "special/clsStockQuote.h"
#include "store/NoteDocument.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QFile>
#include <QIODevice>
#include <QStringDecoder>
#include <QTextDocument>
#include <QTextEdit>
#include <QUrl>
#include <array>
#include <functional>
#include <type_traits>

namespace {
constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char* const kUsageText = "Usage:\n"
                               "  jottex-cli list FILE.not\n"
                               "  jottex-cli cat FILE.not [--note N] [--format rtf|text|html]\n"
                               "  jottex-cli rtf2text < note.rtf\n"
                               "  jottex-cli rtf2html < note.rtf\n"
                               "  jottex-cli rtf2rtf < in.rtf > note.rtf\n"
                               "  jottex-cli text2rtf < note.txt > note.rtf\n"
                               "  jottex-cli html2rtf < note.html > note.rtf\n"
                               "  jottex-cli feed URL|FILE\n"
                               "  jottex-cli quote SYMBOL [--server URL]\n"
                               "  jottex-cli --help | --version\n";

struct Streams {
    QIODevice& in;
    QIODevice& out;
    QIODevice& err;

    void print(const QString& text) const { out.write(text.toUtf8()); }
    int fail(const QString& message, int code = kFailed) const
    {
        err.write((QStringLiteral("jottex-cli: ") + message + QLatin1Char('\n')).toUtf8());
        return code;
    }
};

enum class Format { Rtf, Text, Html };

struct FormatName {
    const char* name;
    Format format;
};

constexpr std::array kFormats{
    FormatName{"rtf", Format::Rtf},
    FormatName{"text", Format::Text},
    FormatName{"html", Format::Html},
};

std::optional<Format> formatNamed(const QString& name)
{
    for (const auto& entry : kFormats) {
        if (name == QLatin1String(entry.name))
            return entry.format;
    }
    return std::nullopt;
}

// Bytes from a file or text from a note's Data, which the reader takes differently.
template <typename Rtf> QString converted(const Rtf& rtf, Format format)
{
    switch (format) {
    case Format::Text:
        return RichText::toPlainText(rtf);
    case Format::Html:
        return RichText::toHtml(rtf);
    case Format::Rtf:
        break;
    }
    if constexpr (std::is_same_v<Rtf, QString>)
        return rtf;
    else
        return QString::fromUtf8(rtf);
}

Expected<NoteRecordList> readNotes(const QString& path)
{
    return NoteDocument::readRecordsFile(path);
}

int listNotes(const Streams& io, const QStringList& args)
{
    if (args.size() != 1)
        return io.fail(QString::fromLatin1(kUsageText), kUsage);
    const Expected<NoteRecordList> notes = readNotes(args.first());
    if (notes.failed())
        return io.fail(args.first() + QStringLiteral(": ") + notes.error().description);
    int number = 0;
    for (const NoteRecord& note : notes.value()) {
        const QStringList fields{QString::number(++number),
                                 note.Color,
                                 note.TimeDate,
                                 QString::number(note.Height),
                                 QString::number(note.Width),
                                 QString::number(note.Left),
                                 QString::number(note.Top)};
        io.print(fields.join(QLatin1Char('\t')) + QLatin1Char('\n'));
    }
    return kOk;
}

int catNote(const Streams& io, const QStringList& args, const QString& noteText,
            const QString& formatText)
{
    if (args.size() != 1)
        return io.fail(QString::fromLatin1(kUsageText), kUsage);
    const auto format = formatNamed(formatText);
    if (!format)
        return io.fail(QStringLiteral("unknown format \"%1\" (rtf, text or html)").arg(formatText),
                       kUsage);
    bool numberOk = false;
    const int note = noteText.toInt(&numberOk);
    if (!numberOk || note < 1)
        return io.fail(QStringLiteral("--note takes a note number from 1"), kUsage);
    const Expected<NoteRecordList> notes = readNotes(args.first());
    if (notes.failed())
        return io.fail(args.first() + QStringLiteral(": ") + notes.error().description);
    if (notes.value().isEmpty())
        return kOk;
    if (note > notes.value().size()) {
        return io.fail(QStringLiteral("%1 holds %2 note(s), not %3")
                           .arg(args.first())
                           .arg(notes.value().size())
                           .arg(note));
    }
    io.print(converted(notes.value().at(note - 1).Data, *format));
    return kOk;
}

// The font of a new note, which text without a font of its own takes.
QFont newNoteFont()
{
    return {modMain::settingDefault(modMain::Setting::FontName),
            modMain::settingDefault(modMain::Setting::DefaultFontSize).toInt()};
}

// Reads the input as `format` and writes it as note RTF, as saving a note writes it.
int convertToRtf(const Streams& io, Format format)
{
    const QByteArray input = io.in.readAll();
    QTextDocument document;
    document.setDefaultFont(newNoteFont());
    if (format == Format::Rtf) {
        if (!RichText::isRtf(input))
            return io.fail(QStringLiteral("the input is no RTF"));
        RichText::readRtf(input, &document);
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(input);
        if (utf8.hasError())
            return io.fail(QStringLiteral("the input is no UTF-8 text"));
        if (format == Format::Html)
            document.setHtml(text);
        else
            document.setPlainText(text);
    }
    io.out.write(RichText::writeRtf(&document));
    return kOk;
}

// What a note shows, with the line ends of this system.
QString shownText(const QTextEdit& rtb)
{
    return RichText::plainText(rtb.document())
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

bool isWebAddress(const QString& source)
{
    const QString scheme = QUrl(source).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// Runs the event loop until the object sends one of the signals.
template <typename Object, typename... Signals> void waitFor(Object* object, Signals... signal)
{
    QEventLoop loop;
    (QObject::connect(object, signal, &loop, &QEventLoop::quit), ...);
    loop.exec();
}

int printFeed(const Streams& io, const QStringList& args)
{
    if (args.size() != 1)
        return io.fail(QString::fromLatin1(kUsageText), kUsage);
    const QString& source = args.first();
    clsRSS feed;
    Result failure;
    if (isWebAddress(source)) {
        feed.setFeedURL(source);
        feed.setHTTPProxy(modMain::ReadSetting(modMain::Setting::HTTPProxy));
        feed.GetFeed();
        waitFor(&feed, &clsRSS::Done);
    } else {
        QFile file(source);
        if (!file.open(QIODevice::ReadOnly))
            return io.fail(source + QStringLiteral(": ") + file.errorString());
        failure = feed.LoadFromBytes(file.read(HttpGet::kMaxBodyBytes + 1));
    }
    QTextEdit rtb;
    if (modSpecialNote::WriteRSSFeed(&rtb, feed) < 1)
        return io.fail(shownText(rtb) +
                       (failure.failed()
                            ? QStringLiteral(" (") + failure.error().description + QLatin1Char(')')
                            : QString()));
    io.print(shownText(rtb));
    return kOk;
}

int printQuote(const Streams& io, const QStringList& args, const QString& server)
{
    if (args.size() != 1 || args.first().isEmpty())
        return io.fail(QString::fromLatin1(kUsageText), kUsage);
    clsStockQuote quote;
    quote.setSymbol(args.first());
    quote.setQuoteServer(server.isEmpty() ? modMain::ReadSetting(modMain::Setting::QuoteServer)
                                          : server);
    quote.setHTTPProxy(modMain::ReadSetting(modMain::Setting::HTTPProxy));
    bool received = false;
    QObject::connect(&quote, &clsStockQuote::DataReceived, [&received] { received = true; });
    quote.Refresh();
    waitFor(&quote, &clsStockQuote::DataReceived, &clsStockQuote::DataError);
    QTextEdit rtb;
    if (!received) {
        modSpecialNote::WriteStockError(&rtb, args.first());
        io.print(shownText(rtb));
        return io.fail(quote.LastError().failed()
                           ? quote.LastError().error().description
                           : QStringLiteral("the service does not know the symbol"));
    }
    const Result failure = modSpecialNote::WriteStockQuote(&rtb, args.first(), quote);
    io.print(shownText(rtb));
    return failure.failed() ? io.fail(failure.error().description) : kOk;
}

int convertStdin(const Streams& io, Format format)
{
    const QByteArray rtf = io.in.readAll();
    io.print(converted(rtf, format));
    return kOk;
}
} // namespace

int NoteCli::run(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err)
{
    const Streams io{in, out, err};
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Looks into Jottex note files."));
    const QCommandLineOption noteOption(QStringLiteral("note"),
                                        QStringLiteral("Number of the note, from 1."),
                                        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption formatOption(QStringLiteral("format"),
                                          QStringLiteral("rtf, text or html."),
                                          QStringLiteral("FORMAT"), QStringLiteral("rtf"));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show the usage."));
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("Show the version."));
    const QCommandLineOption serverOption(QStringLiteral("server"),
                                          QStringLiteral("Address of the stock quote service."),
                                          QStringLiteral("URL"));
    parser.addOption(noteOption);
    parser.addOption(serverOption);
    parser.addOption(formatOption);
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    if (!parser.parse(arguments))
        return io.fail(parser.errorText() + QLatin1Char('\n') + QString::fromLatin1(kUsageText),
                       kUsage);
    if (parser.isSet(helpOption)) {
        io.print(QString::fromLatin1(kUsageText));
        return kOk;
    }
    if (parser.isSet(versionOption)) {
        io.print(QStringLiteral("jottex-cli %1\n").arg(QLatin1String(Version::Text)));
        return kOk;
    }
    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return io.fail(QString::fromLatin1(kUsageText), kUsage);
    const QString command = args.takeFirst();
    if (command == QLatin1String("list"))
        return listNotes(io, args);
    if (command == QLatin1String("cat"))
        return catNote(io, args, parser.value(noteOption), parser.value(formatOption));
    if (command == QLatin1String("feed"))
        return printFeed(io, args);
    if (command == QLatin1String("quote"))
        return printQuote(io, args, parser.value(serverOption));
    if (command == QLatin1String("rtf2text") && args.isEmpty())
        return convertStdin(io, Format::Text);
    if (command == QLatin1String("rtf2html") && args.isEmpty())
        return convertStdin(io, Format::Html);
    for (const auto& entry : kFormats) {
        if (command == QLatin1String(entry.name) + QLatin1String("2rtf") && args.isEmpty())
            return convertToRtf(io, entry.format);
    }
    return io.fail(QString::fromLatin1(kUsageText), kUsage);
}

bool NoteCli::needsWidgets(const QStringList& arguments)
{
    static const QStringList kCommands{QStringLiteral("feed"), QStringLiteral("quote")};
    for (const QString& argument : arguments.mid(1))
        if (!argument.startsWith(u'-'))
            return kCommands.contains(argument);
    return false;
}

bool NoteCli::answersWithoutApplication(const QStringList& arguments)
{
    static const QStringList kOptions{QStringLiteral("--help"), QStringLiteral("-h"),
                                      QStringLiteral("--version")};
    return arguments.size() == 2 && kOptions.contains(arguments.at(1));
}
