#pragma once

// What the tests of the about box and the status bar share: a maker's record and a stand-in
// for the browser.

#include "makerinfo.h"

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

namespace windowtest {

using namespace Qt::StringLiterals;

inline const lanshan::MakerInfo maker{u"王小明"_s, u"wxm@x.example"_s, u"10001"_s, u"20002"_s, u"127.0.0.1:8080"_s};

// Takes the addresses that the program hands to the browser, for as long as it lives.
class Browser : public QObject
{
    Q_OBJECT

public:
    Browser();
    ~Browser() override;
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url);
};

} // namespace windowtest
