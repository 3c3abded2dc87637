#pragma once

class QColorDialog;
class QDialog;
class QFileDialog;
class QFontDialog;

namespace RealDialogs {
// The real file dialog that the code under test opened, once it is up. When none comes within
// 5 s, whatever modal window did come up is closed, so the code returns, and the result is
// null. Call it from a timer: a QTRY macro there would only leave the timer's function, and
// the dialog would wait for ever.
QFileDialog* waitForFileDialog();
// The same for the font dialog.
QFontDialog* waitForFontDialog();
// The same for the colour dialog.
QColorDialog* waitForColorDialog();
// Any modal dialog.
QDialog* waitForDialog();
} // namespace RealDialogs
