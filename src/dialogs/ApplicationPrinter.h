#pragma once

#include <functional>

class QPainter;
class QPrinter;

// The application's printer and its one print job. Pages are drawn into the job as they are
// laid out and reach the printer only when the job ends, so a killed job prints nothing: Qt's
// print engines cannot take back a page once it is sent.
namespace ApplicationPrinter {

using Drawing = std::function<void(QPainter&)>;

// The printer every print goes to; the printer dialog changes it.
QPrinter& printer();

// A new job with one empty page; an unfinished one is dropped.
void StartDoc();
// Adds a drawing to the current page; painted with the printer's device coordinates.
void Print(Drawing drawing);
void NewPage();
// Prints the job. False when the printer could not take it (no device, unwritable file).
bool EndDoc();
// Throws the job away.
void KillDoc();
// Pages of the open job; 0 when none is open.
int pageCount();

} // namespace ApplicationPrinter
