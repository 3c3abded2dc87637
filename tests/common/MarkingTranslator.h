#pragma once

#include <QCoreApplication>
#include <QTranslator>

// A translator that gives every text back marked with its context, "[Context]text", so that a
// test sees which texts reach the user through a translation, and under which context. It is
// in place for its own lifetime; windows built meanwhile show marked texts.
class MarkingTranslator : public QTranslator {
public:
    MarkingTranslator() { QCoreApplication::installTranslator(this); }
    ~MarkingTranslator() override { QCoreApplication::removeTranslator(this); }
    MarkingTranslator(const MarkingTranslator&) = delete;
    MarkingTranslator& operator=(const MarkingTranslator&) = delete;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char* = nullptr,
                      int = -1) const override
    {
        return marked(context, QString::fromUtf8(sourceText));
    }

    static QString marked(const char* context, const QString& text)
    {
        return QLatin1Char('[') + QLatin1String(context) + QLatin1Char(']') + text;
    }
};
