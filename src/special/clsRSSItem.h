#pragma once

#include <QString>

// One item of a feed.
class clsRSSItem {
public:
    QString HeadLine;    // the item's title
    QString Description; // empty when the feed's items carry none
    QString ArticleLink;
};
