// icons OUTDIR: draws the program's icon at the sizes a desktop asks for and writes the Windows
// icon file. The picture is the window icon's (resources/icon-16.png, icon-32.png): a fir tree
// before two snowy mountains under a blue sky, in a dark frame. Those two small images are kept
// as they are; this tool draws the same design at 48, 128 and 256 pixels for the hicolor theme,
// and packs 16, 32, 48 and 256 into one .ico. Its output is committed (resources/icons/); run it
// again only when the design changes.

#include "pictures.h"
#include "version.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QTextStream>
#include <QtEndian>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The design on the 32 × 32 grid of icon-32.png, scaled to any size.
QImage draw(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(Qt::NoPen);

    p.fillRect(QRectF(0, 0, 32, 32), QColor(0x12, 0x4a, 0x60)); // the frame
    const QRectF inside(1, 1, 30, 30);
    p.setClipRect(inside);
    QLinearGradient sky(0, 1, 0, 31);
    sky.setColorAt(0, QColor(0x3e, 0xa5, 0xd4));
    sky.setColorAt(1, QColor(0x1e, 0x70, 0x91));
    p.fillRect(inside, sky);

    const QColor snow(0xd8, 0xf0, 0xf4);
    p.setBrush(snow);
    p.drawPolygon(QPolygonF({{11.0, 11.9}, {26.0, 34.0}, {-4.0, 34.0}})); // the left mountain
    p.drawPolygon(QPolygonF({{21.8, 8.0}, {35.0, 32.9}, {8.6, 32.9}}));   // the right mountain
    p.fillRect(QRectF(1, 29, 30, 2), snow);                               // snow on the ground

    p.fillRect(QRectF(14.75, 28, 2.5, 4), QColor(0x13, 0x56, 0x3a)); // the trunk
    p.setBrush(QColor(0x1f, 0x8a, 0x5c));                            // three tiers of branches
    p.drawPolygon(QPolygonF({{16.0, 10.0}, {20.6, 19.0}, {11.4, 19.0}}));
    p.drawPolygon(QPolygonF({{16.0, 15.2}, {22.8, 24.0}, {9.2, 24.0}}));
    p.drawPolygon(QPolygonF({{16.0, 20.5}, {25.0, 28.9}, {7.0, 28.9}}));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray png(const QImage &image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

// One image of an .ico file as a device-independent bitmap: the header, the colour rows bottom
// up in BGRA, then the 1-bit mask (all zero: the alpha channel decides). Every Windows version
// reads this form; only the 256-pixel image is stored as PNG, as is usual.
QByteArray dib(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int maskStride = ((size + 31) / 32) * 4;
    QByteArray data(40 + size * size * 4 + maskStride * size, '\0');
    auto *header = reinterpret_cast<uchar *>(data.data());
    qToLittleEndian<quint32>(40, header);          // header size
    qToLittleEndian<qint32>(size, header + 4);     // width
    qToLittleEndian<qint32>(size * 2, header + 8); // height of colour and mask together
    qToLittleEndian<quint16>(1, header + 12);      // planes
    qToLittleEndian<quint16>(32, header + 14);     // bits per pixel
    qToLittleEndian<quint32>(size * size * 4, header + 20);
    uchar *pixels = header + 40;
    for (int y = size - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            *pixels++ = uchar(qBlue(line[x]));
            *pixels++ = uchar(qGreen(line[x]));
            *pixels++ = uchar(qRed(line[x]));
            *pixels++ = uchar(qAlpha(line[x]));
        }
    }
    return data;
}

QByteArray ico(const std::vector<QImage> &images)
{
    std::vector<QByteArray> bodies;
    for (const QImage &image : images)
        bodies.push_back(image.width() >= 256 ? png(image) : dib(image));
    QByteArray file(6 + 16 * int(images.size()), '\0');
    auto *dir = reinterpret_cast<uchar *>(file.data());
    qToLittleEndian<quint16>(1, dir + 2); // type: icon
    qToLittleEndian<quint16>(quint16(images.size()), dir + 4);
    quint32 offset = quint32(file.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        uchar *entry = dir + 6 + 16 * i;
        entry[0] = uchar(images[i].width() & 0xff); // 0 stands for 256
        entry[1] = uchar(images[i].height() & 0xff);
        qToLittleEndian<quint16>(1, entry + 4);  // planes
        qToLittleEndian<quint16>(32, entry + 6); // bits per pixel
        qToLittleEndian<quint32>(quint32(bodies[i].size()), entry + 8);
        qToLittleEndian<quint32>(offset, entry + 12);
        offset += quint32(bodies[i].size());
    }
    for (const QByteArray &body : bodies)
        file += body;
    return file;
}

bool write(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        QTextStream(stderr) << "icons: cannot write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << path << '\n';
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: icons OUTDIR\n";
        return 2;
    }
    const QDir out(args.at(1));
    const QString name = QString::fromLatin1(lanshan::appId);

    bool ok = true;
    for (int size : {48, 128, 256})
        ok = write(out.filePath(u"hicolor/%1x%1/apps/%2.png"_s.arg(size).arg(name)), png(draw(size))) && ok;

    const QIcon windowIcon = lanshan::programIcon();
    const std::vector<QImage> images = {windowIcon.pixmap(16).toImage(), windowIcon.pixmap(32).toImage(), draw(48),
                                        draw(256)};
    return write(out.filePath(u"lanshan-filter.ico"_s), ico(images)) && ok ? 0 : 1;
}
