#pragma once

#include <QString>

// The escapes a mail link's body gets, in the order they are made: the percent sign first, so
// later escapes are not escaped again. Everything else passes unchanged.
QString EncodeMailText(const QString& text);

// A new message in the user's mail program, through a mailto: link with subject and body.
class clsSendMail {
public:
    void setBody(const QString& text) { m_body = EncodeMailText(text); }
    QString Body() const { return m_body; }
    // The whole link as handed to the desktop.
    QString link() const;
    // Hands the link to the desktop; its answer is not looked at.
    void Send() const;

private:
    QString m_body;
};
