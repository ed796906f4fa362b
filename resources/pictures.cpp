#include "pictures.h"

#include "logging.h"

#include <QFile>
#include <QSize>

// The data lives in this static library; registering it twice does no harm.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace lanshan {

namespace {

QString resourceText(const QString &path)
{
    initResources();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcDesktop) << "cannot read" << path << file.errorString();
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

} // namespace

QIcon programIcon()
{
    initResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icon-32.png"), QSize(32, 32));
    return icon;
}

QPixmap aboutPicture()
{
    initResources();
    QPixmap picture(QStringLiteral(":/about.jpg"), "JPEG");
    if (picture.isNull())
        qCDebug(lcDesktop) << "cannot read the about picture";
    return picture;
}

QString demoKeys()
{
    return resourceText(QStringLiteral(":/demo/keys.txt"));
}

QString demoRows()
{
    return resourceText(QStringLiteral(":/demo/rows.txt"));
}

} // namespace lanshan
