#include "browserstub.h"

namespace windowtest {

Browser::Browser()
{
    QDesktopServices::setUrlHandler(u"http"_s, this, "open");
}

Browser::~Browser()
{
    QDesktopServices::unsetUrlHandler(u"http"_s);
}

void Browser::open(const QUrl &url)
{
    opened.append(url);
}

} // namespace windowtest
