#pragma once

// What the tests of the about box and the status bar share: a maker's record and a stand-in
// for the browser. Listed among the sources of every window test, so that AUTOMOC handles it.

#include "makerinfo.h"

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

namespace windowtest {

using namespace Qt::StringLiterals;

inline const lanshan::MakerInfo maker{u"王小明"_s, u"wxm@x.example"_s, u"10001"_s, u"20002"_s, u"127.0.0.1:8080"_s};

// Takes the addresses that the program hands to the browser.
class Browser : public QObject
{
    Q_OBJECT

public:
    Browser() { QDesktopServices::setUrlHandler(u"http"_s, this, "open"); }
    ~Browser() override { QDesktopServices::unsetUrlHandler(u"http"_s); }
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

} // namespace windowtest
