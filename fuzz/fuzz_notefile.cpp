// libFuzzer target for note files: any input must be read or refused without crashing or
// hanging; both readers must agree; and whatever reads must stay readable after an append
// writes it back.
#include "store/NoteDocument.h"

#include <cstdint>
#include <cstdlib>

namespace {
NoteRecord appended()
{
    NoteRecord note;
    note.Color = QStringLiteral("8454143");
    note.Data = QStringLiteral("{\\rtf1\\ansi appended\\par\r\n}");
    note.TimeDate = QStringLiteral("12/6/2026 9:21:58 AM");
    note.Height = 2865;
    note.Width = 3345;
    return note;
}

bool sameOutcome(const Expected<NoteRecordList>& a, const Expected<NoteRecordList>& b)
{
    if (a.ok() != b.ok())
        return false;
    return a.ok() ? a.value() == b.value() : a.error().number == b.error().number;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = QStringLiteral("/fuzz.not");
    const Expected<NoteRecordList> streamed = NoteDocument::readRecords(input, path);
    Expected<QDomDocument> document = NoteDocument::parse(input);
    const Expected<NoteRecordList> viaTree = document.ok()
                                                 ? NoteDocument::records(document.value(), path)
                                                 : Expected<NoteRecordList>(document.error());
    if (!sameOutcome(streamed, viaTree))
        std::abort();
    if (document.failed())
        return 0;

    NoteDocument::appendNote(document.value(), appended());
    const QByteArray written = NoteDocument::serialize(document.value());
    const Expected<QDomDocument> again = NoteDocument::parse(written);
    // A file at a limit may pass it with the note added; anything else must parse.
    if (again.failed() && again.error().number != ErrorNumber::InvalidFileFormat)
        std::abort();
    // And it reads as before, with the note added.
    const Expected<NoteRecordList> back = NoteDocument::readRecords(written, path);
    if (again.ok() && back.ok() != viaTree.ok())
        std::abort();
    if (back.ok() && viaTree.ok() && back.value().size() != viaTree.value().size() + 1)
        std::abort();
    return 0;
}
