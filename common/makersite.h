#pragma once

#include <QString>

// The three addresses on the maker's web host: the home page, the download page and the
// version service. The host is passed in, so that a test can point them at a local server.
namespace lanshan {

inline QString homePageAddress(const QString &host)
{
    return QStringLiteral("http://") + host;
}

inline QString downloadPageAddress(const QString &host)
{
    return homePageAddress(host) + QStringLiteral("/update.php?sort=LanshanQingdan");
}

// t: the decimal text of a fresh random number, which keeps caches from answering.
inline QString versionServiceAddress(const QString &host, const QString &t)
{
    return homePageAddress(host) + QStringLiteral("/version.php?s=LanshanQingdan&t=") + t;
}

} // namespace lanshan
