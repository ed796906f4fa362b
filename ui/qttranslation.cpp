#include "qttranslation.h"

#include "logging.h"

#include <QCoreApplication>
#include <QTranslator>

namespace lanshan {

using namespace Qt::StringLiterals;

void loadQtTranslation()
{
    static QTranslator *translator = nullptr;
    if (translator || !QCoreApplication::instance())
        return;
    translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(u":/translations/qtbase_zh_CN.qm"_s) || !QCoreApplication::installTranslator(translator))
        qCDebug(lcDesktop) << "Qt's Chinese translation is not available";
}

} // namespace lanshan
