#pragma once

#include <QByteArray>
#include <QStringList>

class QIODevice;

// The command line companion: looks into note files and converts RTF without a window, and
// shows what a feed or quote note would show.
namespace NoteCli {
// arguments as the program got them (program name first). Returns the exit code.
int run(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err);

// True for "--help", "-h" and "--version", which run() answers without a QGuiApplication.
bool answersWithoutApplication(const QStringList& arguments);
// True for the feed and quote commands, which lay out a note's text area (a QApplication).
bool needsWidgets(const QStringList& arguments);
} // namespace NoteCli
