#include "applicationsetup.h"

#include "contrast.h"
#include "qttranslation.h"
#include "twips.h"
#include "version.h"
#include "visibleaccessible.h"

#include <QApplication>
#include <QFontInfo>
#include <QPalette>

// The demo texts and Qt's translation are compiled into static libraries; they must be
// registered.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace lanshan {

void setUpApplication()
{
    static bool done = false;
    if (!done) {
        done = true;
        initResources();
        loadQtTranslation();
        VisibleAccessible::install();
    }
    // Selected text that reads on its highlight, on every style and theme; a palette that reads
    // already is left alone, so that it still follows the desktop.
    const QPalette readable = withReadableSelection(QApplication::palette());
    if (readable != QApplication::palette())
        QApplication::setPalette(readable);
    // The application's font may have changed since: windows made from now on follow it.
    scaleLayoutToFont(QFontInfo(QApplication::font()).pointSizeF());
    // Lets the desktop match the window to its desktop entry and icon (the Wayland app id).
    QGuiApplication::setDesktopFileName(QString::fromLatin1(appId));
}

} // namespace lanshan
