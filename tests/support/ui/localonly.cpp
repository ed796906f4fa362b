// Linked into every window test: requests of the program may reach 127.0.0.1 only. Any other
// host, the built-in maker's host included, is routed to a proxy on a local port where nothing
// listens, so that the request fails at once: no name is looked up and nothing leaves the
// machine, however long a test keeps a main window (and its version check) running.

#include <QCoreApplication>
#include <QNetworkProxyFactory>

using namespace Qt::StringLiterals;

namespace {

class LocalOnlyProxyFactory : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        if (query.peerHostName() == u"127.0.0.1"_s)
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return {QNetworkProxy(QNetworkProxy::HttpProxy, u"127.0.0.1"_s, 1)};
    }
};

void installLocalOnlyProxy()
{
    QNetworkProxyFactory::setApplicationProxyFactory(new LocalOnlyProxyFactory);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installLocalOnlyProxy)
