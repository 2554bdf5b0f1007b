// Prepares Qt WebEngine before the application starts.
#include "gui/WebEngineSetup.h"

#include <unistd.h>

#include <QCoreApplication>

namespace quirebook {

void PrepareWebEngine() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

}  // namespace quirebook
